// The folder browser call and its replacement for tests.
#include "ui/FolderBrowser.h"

#include <memory>
#include <utility>

namespace zarvo::ui {
namespace {

struct ItemListFree {
  void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};

TBrowseFunction& CurrentBrowse() {
  static TBrowseFunction current = [](BROWSEINFOW& info) { return ::SHBrowseForFolderW(&info); };
  return current;
}

}  // namespace

std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title) {
  wchar_t displayName[MAX_PATH + 1] = {};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  const std::unique_ptr<ITEMIDLIST, ItemListFree> chosen(CurrentBrowse()(info));
  if (!chosen) return std::nullopt;
  // Only file-system folders can be chosen, so this succeeds; should it not, the choice counts as
  // cancelled rather than filling the folder box with a path of nothing.
  wchar_t path[MAX_PATH + 1] = {};
  if (!::SHGetPathFromIDListW(chosen.get(), path) || path[0] == L'\0') return std::nullopt;
  return std::wstring(path);
}

TBrowseReplacement::TBrowseReplacement(TBrowseFunction replacement)
    : FPrevious(std::exchange(CurrentBrowse(), std::move(replacement))) {}

TBrowseReplacement::~TBrowseReplacement() { CurrentBrowse() = std::move(FPrevious); }

}  // namespace zarvo::ui
