// Restricting the DLL search order at start-up.
#include "app/DllSearch.h"

#include <windows.h>

namespace zarvo::app {

void RestrictDllSearchOrder() {
  // Looked up, not imported: Windows 7 without update KB2533623 lacks it, and an import would
  // keep the program from starting there.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const auto setDefaultDllDirectories =
      kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                   reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
             : nullptr;
  if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it the program's own folder stays first in the search; an empty DLL directory at
  // least takes the current folder out of it.
  ::SetDllDirectoryW(L"");
}

}  // namespace zarvo::app
