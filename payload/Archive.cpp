// Reading the payload archive in place: the directory walk, the lookup and strict inflation.
#include "payload/Archive.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "payload/Utf.h"

#define ZLIB_CONST
#include <zlib.h>

namespace zarvo::payload {
namespace {

// Name length byte, then size, file date and pack size after the name.
constexpr std::int64_t FixedHeaderBytes = 13;
// Deflate cannot do better than 258 bytes for two bits, so no stream of n bytes inflates to more.
constexpr std::int64_t MaxInflateRatio = 1032;

std::int32_t ReadInt32(std::span<const std::uint8_t> bytes) {
  const std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) |
                              static_cast<std::uint32_t>(bytes[1]) << 8 |
                              static_cast<std::uint32_t>(bytes[2]) << 16 |
                              static_cast<std::uint32_t>(bytes[3]) << 24;
  return static_cast<std::int32_t>(value);
}

std::uint32_t ReadUint32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(ReadInt32(bytes));
}

class InflateSession {
 public:
  InflateSession() {
    if (const int result = inflateInit(&stream_); result != Z_OK) throw InflateError(zError(result));
  }
  ~InflateSession() { inflateEnd(&stream_); }
  InflateSession(const InflateSession&) = delete;
  InflateSession& operator=(const InflateSession&) = delete;
  z_stream* operator->() { return &stream_; }
  z_stream* get() { return &stream_; }

 private:
  z_stream stream_{};
};

[[noreturn]] void ThrowDataError(const std::string& detail) {
  throw InflateError(std::string(zError(Z_DATA_ERROR)) + ": " + detail);
}

[[noreturn]] void ThrowZlibError(int result, const z_stream& stream) {
  std::string text = zError(result);
  if (stream.msg != nullptr && text != stream.msg) text += std::string(": ") + stream.msg;
  throw InflateError(text);
}

}  // namespace

MalformedArchiveError::MalformedArchiveError(std::int64_t offset, const std::string& problem)
    : std::runtime_error("malformed payload archive at offset " + std::to_string(offset) + ": " +
                         problem),
      offset_(offset) {}

void ArchiveStream::Seek(std::int64_t position) {
  if (position < 0) throw std::out_of_range("negative archive stream position");
  position_ = position;
}

std::span<const std::uint8_t> ArchiveStream::ReadInPlace(std::size_t count) {
  if (position_ >= Size()) return {};
  const auto start = static_cast<std::size_t>(position_);
  const std::size_t length = std::min(count, bytes_.size() - start);
  position_ += static_cast<std::int64_t>(length);
  return bytes_.subspan(start, length);
}

std::size_t ArchiveStream::Read(std::span<std::uint8_t> buffer) {
  const std::span<const std::uint8_t> bytes = ReadInPlace(buffer.size());
  std::copy(bytes.begin(), bytes.end(), buffer.begin());
  return bytes.size();
}

void MemoryOutputStream::SetPosition(std::int64_t position) {
  if (position < 0) throw std::out_of_range("negative output stream position");
  position_ = position;
}

void MemoryOutputStream::Write(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  const auto start = static_cast<std::size_t>(position_);
  if (bytes_.size() < start + bytes.size()) bytes_.resize(start + bytes.size());
  std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(start));
  position_ += static_cast<std::int64_t>(bytes.size());
}

void MemoryOutputStream::WriteOwned(std::vector<std::uint8_t>&& bytes) {
  if (!bytes_.empty() || position_ != 0) return Write(bytes);
  bytes_ = std::move(bytes);
  position_ = static_cast<std::int64_t>(bytes_.size());
}

std::span<const std::uint8_t> MemoryOutputStream::Remaining() const {
  if (position_ >= Size()) return {};
  return std::span(bytes_).subspan(static_cast<std::size_t>(position_));
}

void LoadArchiveIndex(ArchiveStream& stream, ArchiveNames& names, ArchiveItemList& items) {
  names.clear();
  items.clear();
  stream.Seek(0);
  const std::int64_t size = stream.Size();
  while (stream.Position() != size) {
    const std::int64_t entryOffset = stream.Position();
    const std::int64_t left = size - entryOffset;
    const std::int64_t nameLength = stream.ReadInPlace(1)[0];
    if (left < nameLength + FixedHeaderBytes) {
      throw MalformedArchiveError(
          entryOffset, "entry header truncated: it needs " +
                           std::to_string(nameLength + FixedHeaderBytes) + " bytes, " +
                           std::to_string(left) + " are left");
    }
    const std::span<const std::uint8_t> name =
        stream.ReadInPlace(static_cast<std::size_t>(nameLength));
    const std::span<const std::uint8_t> fields = stream.ReadInPlace(12);
    TFileItem item;
    item.Size = ReadInt32(fields.subspan(0, 4));
    item.PackSize = ReadInt32(fields.subspan(8, 4));
    item.Position = stream.Position();
    try {
      item.FDate = DosDateTimeToDateTime(ReadUint32(fields.subspan(4, 4)));
    } catch (const InvalidDateTimeError& error) {
      throw MalformedArchiveError(entryOffset, std::string("entry file date: ") + error.what());
    }
    if (item.PackSize < 0) {
      throw MalformedArchiveError(entryOffset,
                                  "negative pack size " + std::to_string(item.PackSize));
    }
    if (item.PackSize > size - item.Position) {
      throw MalformedArchiveError(
          entryOffset, "pack size " + std::to_string(item.PackSize) + " runs past the end (" +
                           std::to_string(size - item.Position) + " bytes left)");
    }
    names.push_back(Utf8ToUtf16(name));
    items.push_back(item);
    stream.Seek(item.Position + item.PackSize);
  }
}

ArchiveItemLookup FindArchiveItem(const ArchiveNames& names, const ArchiveItemList& items,
                                  const NameComparer& comparer, std::u16string_view name) {
  const std::size_t count = std::min(names.size(), items.size());
  for (std::size_t k = 0; k < count; ++k) {
    if (comparer.Equal(names[k], name)) return {true, items[k]};
  }
  return {};
}

std::vector<std::uint8_t> InflateArchiveItem(ArchiveStream& stream, const TFileItem& item) {
  if (item.Size < 0)
    throw MalformedArchiveError(item.Position, "negative size " + std::to_string(item.Size));
  if (item.PackSize < 0) {
    throw MalformedArchiveError(item.Position,
                                "negative pack size " + std::to_string(item.PackSize));
  }
  if (item.Size > static_cast<std::int64_t>(item.PackSize) * MaxInflateRatio) {
    throw MalformedArchiveError(item.Position, "size " + std::to_string(item.Size) +
                                                   " cannot come from " +
                                                   std::to_string(item.PackSize) +
                                                   " compressed bytes");
  }
  stream.Seek(item.Position);
  const std::span<const std::uint8_t> packed =
      stream.ReadInPlace(static_cast<std::size_t>(item.PackSize));

  std::vector<std::uint8_t> content(static_cast<std::size_t>(item.Size));
  std::uint8_t spare = 0;  // an output byte beyond Size shows a stream that runs on
  InflateSession inflater;
  inflater->next_in = packed.data();
  inflater->avail_in = static_cast<uInt>(packed.size());
  inflater->next_out = content.empty() ? &spare : content.data();
  inflater->avail_out = static_cast<uInt>(content.size());
  int result = inflate(inflater.get(), Z_FINISH);
  if (result != Z_STREAM_END && inflater->avail_out == 0 &&
      (result == Z_OK || result == Z_BUF_ERROR)) {
    // Full, but the stream has not ended yet: only its trailer may follow.
    inflater->next_out = &spare;
    inflater->avail_out = 1;
    result = inflate(inflater.get(), Z_FINISH);
    if (inflater->avail_out == 0)
      ThrowDataError("the stream holds more than " + std::to_string(item.Size) + " bytes");
  }
  if (result == Z_STREAM_END) {
    if (inflater->total_out != content.size()) {
      ThrowDataError("the stream ends after " + std::to_string(inflater->total_out) + " of " +
                     std::to_string(item.Size) + " bytes");
    }
    return content;
  }
  if (result == Z_BUF_ERROR || result == Z_OK)
    ThrowDataError("the compressed data ends before the stream does");
  ThrowZlibError(result, *inflater.get());
}

void ExtractArchiveItem(ArchiveStream& stream, const ArchiveNames& names,
                        const ArchiveItemList& items, const NameComparer& comparer,
                        std::u16string_view name, OutputStream& destination) {
  const ArchiveItemLookup lookup = FindArchiveItem(names, items, comparer, name);
  if (!lookup.Found) return;
  destination.WriteOwned(InflateArchiveItem(stream, lookup.Item));
  destination.SetPosition(0);
}

}  // namespace zarvo::payload
