// The folder test of the install run.
#include "install/InstallFolder.h"

#include <windows.h>

namespace zarvo::install {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Length of the part that must exist already: "C:\" or "\\server\share\"; 0 for a relative path,
// which would install somewhere under the current folder.
std::size_t RootLength(std::wstring_view path) {
  if (path.size() >= 3 && ((path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z') && path[1] == L':' &&
      IsSeparator(path[2]))
    return 3;
  if (path.size() >= 5 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
    std::size_t server = 2;
    while (server < path.size() && !IsSeparator(path[server])) ++server;
    if (server + 1 >= path.size()) return 0;
    std::size_t share = server + 1;
    while (share < path.size() && !IsSeparator(path[share])) ++share;
    if (share == server + 1) return 0;
    return share;
  }
  return 0;
}

}  // namespace

bool CreateFolders(std::wstring_view folder) {
  const std::size_t root = RootLength(folder);
  if (root == 0) return false;
  const std::wstring path(folder);
  // Each missing part from the root down; an empty part ("a\\b") is no folder of its own.
  for (std::size_t end = root + 1; end <= path.size(); ++end) {
    if (end < path.size() && !IsSeparator(path[end])) continue;
    if (IsSeparator(path[end - 1])) continue;
    const std::wstring part = path.substr(0, end);
    if (!IsFolder(part) && !CreateDirectoryW(part.c_str(), nullptr) && !IsFolder(part)) return false;
  }
  return IsFolder(path);
}

bool PrepareInstallFolder(std::wstring_view folder) { return CreateFolders(folder); }

std::wstring WithTrailingBackslash(std::wstring_view folder) {
  std::wstring result(folder);
  if (result.empty() || result.back() != L'\\') result += L'\\';
  return result;
}

}  // namespace zarvo::install
