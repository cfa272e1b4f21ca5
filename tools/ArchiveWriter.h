// Writing payload archive entries. The packer builds payloads with it; the tests, the fuzz
// driver and the benchmark build their archives with the same code.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "payload/DateTime.h"

namespace zarvo::tools {

// An entry that the format cannot hold (name above 255 bytes, content above 2 GB).
class ArchiveWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One zlib stream of content at zlib's default compression: it starts with 78 9C.
std::vector<std::uint8_t> CompressEntryData(std::span<const std::uint8_t> content);

// Appends one entry whose fields are written exactly as given: size and pack size need not
// match data, so that tests can build broken entries. The name is the UTF-8 bytes as given.
void AppendRawEntry(std::vector<std::uint8_t>& archive, std::string_view name, std::int32_t size,
                    std::uint32_t dosDateTime, std::int32_t packSize,
                    std::span<const std::uint8_t> data);

// Appends one well-formed entry: content compressed by CompressEntryData.
void AppendEntry(std::vector<std::uint8_t>& archive, std::string_view name,
                 std::span<const std::uint8_t> content, std::uint32_t dosDateTime);

// The DOS date and time of a moment in local time, rounded down to the even second.
// InvalidDateTimeError for moments outside 1980-2107.
std::uint32_t DosDateTimeFromTime(std::time_t moment);

}  // namespace zarvo::tools
