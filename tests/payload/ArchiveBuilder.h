// Builds small payload archives for the tests with the packer's own writer, entry by entry, so
// that a test can state each field it expects.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/ArchiveWriter.h"

namespace zarvo::payload::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline Bytes Compress(const Bytes& content) { return tools::CompressEntryData(content); }

class ArchiveBuilder {
 public:
  // Header fields as given, then data.
  ArchiveBuilder& Raw(std::string_view name, std::int32_t size, std::uint32_t dosDate,
                      std::int32_t packSize, const Bytes& data) {
    tools::AppendRawEntry(bytes_, name, size, dosDate, packSize, data);
    return *this;
  }
  ArchiveBuilder& Entry(std::string_view name, const Bytes& content, std::uint32_t dosDate = 0) {
    tools::AppendEntry(bytes_, name, content, dosDate);
    return *this;
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
