// The Win32 file-system probe.
#include "install/Win32FileProbe.h"

#include "platform/Handles.h"
#include "platform/Text.h"

namespace zarvo::install {

payload::TDateTime FileTimeToLocalDateTime(const FILETIME& fileTime) {
  FILETIME local{};
  SYSTEMTIME parts{};
  if (!FileTimeToLocalFileTime(&fileTime, &local) || !FileTimeToSystemTime(&local, &parts))
    return 0;
  try {
    return payload::EncodeDateTime({parts.wYear, parts.wMonth, parts.wDay, parts.wHour,
                                    parts.wMinute, parts.wSecond, parts.wMilliseconds});
  } catch (const payload::InvalidDateTimeError&) {
    return 0;  // years above 9999 have no date-time
  }
}

bool Win32FileProbe::FileExists(std::u16string_view path) const {
  const DWORD attributes = GetFileAttributesW(platform::ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<payload::FileStampAndSize> Win32FileProbe::FindFirst(
    std::u16string_view path) const {
  // FindFirstFileW reports entries of every attribute; there is nothing to filter.
  WIN32_FIND_DATAW found{};
  const platform::UniqueFind search(FindFirstFileW(platform::ToWide(path).c_str(), &found));
  if (!search) return std::nullopt;
  return payload::FileStampAndSize{FileTimeToLocalDateTime(found.ftLastWriteTime),
                                   static_cast<std::int32_t>(found.nFileSizeLow)};
}

}  // namespace zarvo::install
