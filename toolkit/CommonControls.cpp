// comctl32 is not a known DLL: imported, it would be looked up, the program's own folder first,
// before the program can restrict the search. So it is loaded here, after that.
#include "toolkit/CommonControls.h"

#include <commctrl.h>

#include "platform/Win32Error.h"

namespace zarvo::toolkit {

namespace {

HMODULE LoadFromSystem() {
  // The bare name keeps the manifest's side-by-side redirection to version 6 (a full path would
  // bypass it); the flag keeps any search to the system folder.
  HMODULE library = ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Windows 7 without update KB2533623 refuses the flag; the process's own search order, which
  // the program restricts first thing, applies then.
  if (!library && ::GetLastError() == ERROR_INVALID_PARAMETER)
    library = ::LoadLibraryW(L"comctl32.dll");
  return library;
}

}  // namespace

void LoadCommonControls(DWORD classes) {
  // Kept loaded for good: the window classes it registers live in it.
  static HMODULE library = nullptr;
  if (!library) library = LoadFromSystem();
  if (!library) platform::ThrowLastError("LoadLibraryExW(comctl32.dll)");
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = reinterpret_cast<InitFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library, "InitCommonControlsEx")));
  if (!init) platform::ThrowLastError("GetProcAddress(InitCommonControlsEx)");
  INITCOMMONCONTROLSEX controls{sizeof(controls), classes};
  init(&controls);
}

}  // namespace zarvo::toolkit
