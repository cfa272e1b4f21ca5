// The install folder the user typed: whether it can take the install, creating it if need be.
#pragma once

#include <string>
#include <string_view>

namespace zarvo::install {

// True when `folder` is a full path (drive letter and root, or \\server\share) that exists as a
// folder or could be created with every missing parent folder; the folders are then there. An
// empty or relative text, a path that names a file, or one that cannot be created gives false;
// whatever parents were made before the failing part stay (they are empty).
bool PrepareInstallFolder(std::wstring_view folder);

// Makes every missing folder of the full path `folder` (as PrepareInstallFolder does); true when
// the folder is there afterwards.
bool CreateFolders(std::wstring_view folder);

// The folder with a trailing backslash.
std::wstring WithTrailingBackslash(std::wstring_view folder);

}  // namespace zarvo::install
