// Builds small payload archives for the tests, byte by byte, with zlib's compress2.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::payload::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline Bytes Compress(const Bytes& content) {
  uLongf length = compressBound(static_cast<uLong>(content.size()));
  Bytes packed(length);
  if (compress2(packed.data(), &length, content.data(), static_cast<uLong>(content.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    throw std::runtime_error("compress2 failed");
  packed.resize(length);
  return packed;
}

inline void AppendInt32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Entries with exact field values, so that a test can state each byte it expects.
class ArchiveBuilder {
 public:
  // Header fields as given, then data.
  ArchiveBuilder& Raw(std::string_view name, std::int32_t size, std::uint32_t dosDate,
                      std::int32_t packSize, const Bytes& data) {
    bytes_.push_back(static_cast<std::uint8_t>(name.size()));
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    AppendInt32(bytes_, static_cast<std::uint32_t>(size));
    AppendInt32(bytes_, dosDate);
    AppendInt32(bytes_, static_cast<std::uint32_t>(packSize));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  ArchiveBuilder& Entry(std::string_view name, const Bytes& content, std::uint32_t dosDate = 0) {
    const Bytes packed = Compress(content);
    return Raw(name, static_cast<std::int32_t>(content.size()), dosDate,
               static_cast<std::int32_t>(packed.size()), packed);
  }
  ArchiveBuilder& Entry(std::string_view name, std::string_view content, std::uint32_t dosDate = 0) {
    return Entry(name, ToBytes(content), dosDate);
  }
  ArchiveBuilder& Junk(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  const Bytes& Build() const { return bytes_; }

 private:
  Bytes bytes_;
};

}  // namespace zarvo::payload::testing
