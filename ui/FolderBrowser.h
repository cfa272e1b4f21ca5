// The system's folder browser, behind a seam so that tests can answer it.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>

namespace zarvo::ui {

// Shows the browser described by `info` and returns the chosen item list (nullptr: cancelled).
using TBrowseFunction = std::function<PIDLIST_ABSOLUTE(BROWSEINFOW& Info)>;

// The path of the folder the user chose in the system's folder browser (file-system folders only,
// from the whole namespace, owned by `owner`, with `title` above the tree); nothing when the user
// cancelled (or the chosen item has no path).
std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title);

// Replaces SHBrowseForFolderW while it lives (tests); the previous one comes back after it.
class TBrowseReplacement {
public:
  explicit TBrowseReplacement(TBrowseFunction replacement);
  TBrowseReplacement(const TBrowseReplacement&) = delete;
  TBrowseReplacement& operator=(const TBrowseReplacement&) = delete;
  ~TBrowseReplacement();

private:
  TBrowseFunction FPrevious;
};

}  // namespace zarvo::ui
