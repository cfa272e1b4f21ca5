// The file-system probe over POSIX calls, for native builds (the packer's plan, the tests).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "payload/Selection.h"

namespace zarvo::payload {

// Every "\" of a path becomes "/". Names compare case-sensitively, as the file system does.
// FindFirst follows symbolic links and, like a Windows directory search, reports folders with
// size 0 and nothing for a path that ends in a separator; a last component with "*" or "?" is
// matched (fnmatch) against the folder's entries in the order the folder lists them. Stamps are
// st_mtime in local time.
class PosixFileProbe final : public FileSystemProbe {
 public:
  bool FileExists(std::u16string_view path) const override;
  std::optional<FileStampAndSize> FindFirst(std::u16string_view path) const override;

  static std::string ToNativePath(std::u16string_view path);
};

}  // namespace zarvo::payload
