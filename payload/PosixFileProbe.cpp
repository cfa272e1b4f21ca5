// The file-system probe over stat, opendir and fnmatch.
#include "payload/PosixFileProbe.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <ctime>
#include <memory>

#include "payload/Utf.h"

namespace zarvo::payload {
namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const { closedir(directory); }
};
using DirectoryHandle = std::unique_ptr<DIR, DirectoryCloser>;

std::optional<FileStampAndSize> StampAndSizeOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  FileStampAndSize result;
  try {
    DateTimeFields fields = LocalDateTimeFields(status.st_mtim.tv_sec);
    fields.Millisecond = static_cast<int>(status.st_mtim.tv_nsec / 1'000'000);
    result.Stamp = EncodeDateTime(fields);
  } catch (const InvalidDateTimeError&) {
    result.Stamp = 0;  // a time stamp the calendar cannot hold is no usable date
  }
  // A directory search reports no size for a folder.
  const auto size = S_ISDIR(status.st_mode) ? 0 : status.st_size;
  result.Size = static_cast<std::int32_t>(static_cast<std::uint32_t>(size));
  return result;
}

}  // namespace

std::string PosixFileProbe::ToNativePath(std::u16string_view path) {
  std::string native = Utf16ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

bool PosixFileProbe::FileExists(std::u16string_view path) const {
  struct stat status {};
  return stat(ToNativePath(path).c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

std::optional<FileStampAndSize> PosixFileProbe::FindFirst(std::u16string_view path) const {
  const std::string native = ToNativePath(path);
  const std::size_t slash = native.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : native.substr(0, slash + 1);
  const std::string pattern = slash == std::string::npos ? native : native.substr(slash + 1);
  // As with a Windows directory search, a path ending in a separator names no entry.
  if (pattern.empty()) return std::nullopt;
  if (pattern.find_first_of("*?") == std::string::npos) return StampAndSizeOf(native);

  const DirectoryHandle directory(opendir(folder.c_str()));
  if (!directory) return std::nullopt;
  while (const dirent* entry = readdir(directory.get())) {
    const std::string name = entry->d_name;
    // A directory search never reports the folder's own "." and ".." for a pattern.
    if (name == "." || name == "..") continue;
    if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0)
      if (auto found = StampAndSizeOf(folder + name)) return found;
  }
  return std::nullopt;
}

}  // namespace zarvo::payload
