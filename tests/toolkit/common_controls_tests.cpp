// The common controls: not imported by the program, loaded by Application().Initialize() as the
// side-by-side version the manifest names, with the progress bar's class registered.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "toolkit/Application.h"

namespace zarvo::toolkit {
namespace {

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring SystemFolderCopy() {
  wchar_t folder[MAX_PATH] = {};
  ::GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\comctl32.dll";
}

TEST(CommonControls, AreLoadedByInitializeFromSideBySideNotFromTheSystemFolder) {
  // Asking for a class of the manifest's version would itself load the library.
  ASSERT_EQ(::GetModuleHandleW(L"comctl32.dll"), nullptr) << "imported after all";

  Application().Initialize();
  HMODULE library = ::GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(library, nullptr);
  // The system folder holds version 5; the manifest's version 6 lives side by side.
  EXPECT_NE(::CompareStringOrdinal(ModulePath(library).c_str(), -1, SystemFolderCopy().c_str(), -1,
                                   TRUE),
            CSTR_EQUAL)
      << std::string(ModulePath(library).begin(), ModulePath(library).end());
  WNDCLASSEXW progress{};
  progress.cbSize = sizeof(progress);
  EXPECT_TRUE(::GetClassInfoExW(nullptr, PROGRESS_CLASSW, &progress));

  HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(bar, nullptr) << ::GetLastError();
  ::SendMessageW(bar, PBM_SETRANGE32, 0, 40);
  ::SendMessageW(bar, PBM_SETPOS, 25, 0);
  EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 25);
  ::DestroyWindow(bar);
}

}  // namespace
}  // namespace zarvo::toolkit
