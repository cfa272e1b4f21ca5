// The payload archive: entries back to back, each a name length byte, the UTF-8 name, size,
// DOS file date and pack size (little-endian 32-bit), then one zlib stream of pack size bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "payload/DateTime.h"
#include "payload/NameComparer.h"

namespace zarvo::payload {

// One directory record.
struct TFileItem {
  std::int32_t Size = 0;      // uncompressed length
  std::int32_t PackSize = 0;  // length of the zlib stream
  std::int64_t Position = 0;  // offset of the zlib stream's first byte in the archive
  TDateTime FDate = 0;        // exactly 0 when the stored file date is 0

  friend bool operator==(const TFileItem&, const TFileItem&) = default;
};

// The container's bytes contradict its format; Offset() is where the faulty entry starts
// (for an entry's data, where its zlib stream starts). The text is UTF-8 and names the offset.
class MalformedArchiveError : public std::runtime_error {
 public:
  MalformedArchiveError(std::int64_t offset, const std::string& problem);
  std::int64_t Offset() const { return offset_; }

 private:
  std::int64_t offset_;
};

// An entry's zlib stream is bad. The text is zlib's text for the failure ("data error"), then a
// colon and the detail: zlib's own message ("incorrect data check") or, for a stream that yields
// fewer or more bytes than the entry's size, which; those count as data errors.
class InflateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A read-only, seekable stream over bytes that someone else owns (the locked resource or a
// loaded file); nothing is copied. Reads never fail: past the end they return fewer bytes.
class ArchiveStream {
 public:
  ArchiveStream() = default;
  explicit ArchiveStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
  std::int64_t Position() const { return position_; }
  // Any position from 0 on, also past the end; a negative one throws std::out_of_range.
  void Seek(std::int64_t position);
  // Copies up to buffer.size() bytes from the position on and advances past them.
  std::size_t Read(std::span<std::uint8_t> buffer);
  // The bytes from the position on, at most count of them, in place; advances past them.
  std::span<const std::uint8_t> ReadInPlace(std::size_t count);
  std::span<const std::uint8_t> Bytes() const { return bytes_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::int64_t position_ = 0;
};

// Where extracted content goes. Writes go at the position and advance it; writing past the end
// fills the gap with zero bytes.
class OutputStream {
 public:
  virtual ~OutputStream() = default;
  virtual std::int64_t Size() const = 0;
  virtual std::int64_t Position() const = 0;
  virtual void SetPosition(std::int64_t position) = 0;
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  // The same as Write, for a buffer the caller gives up: a stream that keeps its content may
  // take it over instead of copying it.
  virtual void WriteOwned(std::vector<std::uint8_t>&& bytes) { Write(bytes); }
};

class MemoryOutputStream final : public OutputStream {
 public:
  std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
  std::int64_t Position() const override { return position_; }
  // Negative positions throw std::out_of_range.
  void SetPosition(std::int64_t position) override;
  void Write(std::span<const std::uint8_t> bytes) override;
  // An empty stream at position 0 takes the buffer over, so an extraction into memory holds
  // its content once.
  void WriteOwned(std::vector<std::uint8_t>&& bytes) override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  // The bytes from the position to the end.
  std::span<const std::uint8_t> Remaining() const;

 private:
  std::vector<std::uint8_t> bytes_;
  std::int64_t position_ = 0;
};

// The directory: ArchiveContent (names) and ArchiveItems (records) are parallel, in payload
// order, duplicates allowed.
using ArchiveNames = std::vector<std::u16string>;
using ArchiveItemList = std::vector<TFileItem>;

struct ArchiveItemLookup {
  bool Found = false;
  TFileItem Item;  // all zero when not found
};

// Reads the directory from position 0 to the end, touching only the headers. A truncated
// header, a negative pack size, one that runs past the end or an invalid nonzero file date
// throws MalformedArchiveError naming the entry's offset; names and items then hold the entries
// before it.
void LoadArchiveIndex(ArchiveStream& stream, ArchiveNames& names, ArchiveItemList& items);

// First entry in payload order whose whole name equals name under the comparer.
ArchiveItemLookup FindArchiveItem(const ArchiveNames& names, const ArchiveItemList& items,
                                  const NameComparer& comparer, std::u16string_view name);

// Inflates one entry, strictly: the stream must yield exactly item.Size bytes, end there and
// pass its Adler-32 check (InflateError otherwise). A negative Size, or one that no zlib stream
// of PackSize bytes can produce, throws MalformedArchiveError at item.Position. The compressed
// bytes are read in place; the result is the only buffer. The stream's position ends after them.
std::vector<std::uint8_t> InflateArchiveItem(ArchiveStream& stream, const TFileItem& item);

// Finds name and writes its content to destination at its position in one write, then sets the
// destination's position to 0. A missing name does nothing at all. On any error nothing is
// written.
void ExtractArchiveItem(ArchiveStream& stream, const ArchiveNames& names,
                        const ArchiveItemList& items, const NameComparer& comparer,
                        std::u16string_view name, OutputStream& destination);

}  // namespace zarvo::payload
