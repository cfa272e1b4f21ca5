// The file-system probe over Win32: attributes for existence, FindFirstFileW for stamp and size.
#pragma once

#include <windows.h>

#include "payload/Selection.h"

namespace zarvo::install {

class Win32FileProbe final : public payload::FileSystemProbe {
 public:
  bool FileExists(std::u16string_view path) const override;
  std::optional<payload::FileStampAndSize> FindFirst(std::u16string_view path) const override;
};

// A file time (UTC) as a local date-time to the millisecond, converted with the current offset
// from UTC as FileTimeToLocalFileTime does; 0 when it cannot be converted.
payload::TDateTime FileTimeToLocalDateTime(const FILETIME& fileTime);

}  // namespace zarvo::install
