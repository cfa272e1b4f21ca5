// Entry encoding for the payload archive, and local time to DOS date and time.
#include "tools/ArchiveWriter.h"

#include <zlib.h>

#include <limits>
#include <string>

namespace zarvo::tools {
namespace {

void AppendInt32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<std::uint8_t> CompressEntryData(std::span<const std::uint8_t> content) {
  if (content.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw ArchiveWriteError("content of " + std::to_string(content.size()) +
                            " bytes is larger than an entry can hold");
  uLongf packedSize = compressBound(static_cast<uLong>(content.size()));
  std::vector<std::uint8_t> packed(packedSize);
  const int result = compress2(packed.data(), &packedSize, content.data(),
                               static_cast<uLong>(content.size()), Z_DEFAULT_COMPRESSION);
  if (result != Z_OK) throw ArchiveWriteError(std::string("zlib: ") + zError(result));
  if (packedSize > static_cast<uLongf>(std::numeric_limits<std::int32_t>::max()))
    throw ArchiveWriteError("compressed entry is larger than an entry can hold");
  packed.resize(packedSize);
  return packed;
}

void AppendRawEntry(std::vector<std::uint8_t>& archive, std::string_view name, std::int32_t size,
                    std::uint32_t dosDateTime, std::int32_t packSize,
                    std::span<const std::uint8_t> data) {
  if (name.size() > 255)
    throw ArchiveWriteError("entry name of " + std::to_string(name.size()) +
                            " bytes is longer than 255 bytes");
  archive.push_back(static_cast<std::uint8_t>(name.size()));
  archive.insert(archive.end(), name.begin(), name.end());
  AppendInt32(archive, static_cast<std::uint32_t>(size));
  AppendInt32(archive, dosDateTime);
  AppendInt32(archive, static_cast<std::uint32_t>(packSize));
  archive.insert(archive.end(), data.begin(), data.end());
}

void AppendEntry(std::vector<std::uint8_t>& archive, std::string_view name,
                 std::span<const std::uint8_t> content, std::uint32_t dosDateTime) {
  const std::vector<std::uint8_t> packed = CompressEntryData(content);
  AppendRawEntry(archive, name, static_cast<std::int32_t>(content.size()), dosDateTime,
                 static_cast<std::int32_t>(packed.size()), packed);
}

std::uint32_t DosDateTimeFromTime(std::time_t moment) {
  return payload::EncodeDosDateTime(payload::LocalDateTimeFields(moment));
}

}  // namespace zarvo::tools
