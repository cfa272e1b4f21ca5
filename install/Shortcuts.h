// The links to the installed program on the user's desktop and in the start menu's programs
// folder, written through the shell's link object.
#pragma once

#include <string>

#include "install/InstallRun.h"

namespace zarvo::install {

struct TShortcutRequest {
  std::wstring InstallDir;  // ends with "\"
  std::wstring FN;          // the program, relative to InstallDir; ".exe" is added when FN names no file
  std::wstring Cap;         // the link's name without ".lnk"
  bool Desktop = false;
  bool StartMenu = false;
};

// The user's folder of a "Shell Folders" value ("Desktop", "Programs") under the current user;
// when the value is missing or empty, the shell's own answer. A value stored as anything but text
// throws platform::Win32Error (ERROR_INVALID_DATATYPE); no folder at all gives "".
std::wstring UserShellFolder(const wchar_t* value);

// Writes the desktop link first, then the start-menu one, as asked; each that cannot be made is
// listed and does not stop the other. COM must be initialised on this thread.
TInstallFailures CreateShortcut(const TShortcutRequest& request);

// One link at linkPath to `target`, starting in `folder`, with the target's own icon; the HRESULT.
HRESULT MakeLink(const std::wstring& linkPath, const std::wstring& target, const std::wstring& folder);

}  // namespace zarvo::install
