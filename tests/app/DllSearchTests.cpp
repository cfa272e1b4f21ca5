// The DLL search order after RestrictDllSearchOrder: copies of a DLL of our own lie in the
// program's folder and in its current folder, and neither is found once it is restricted.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/DllSearch.h"
#include "tests/support/DataFileModule.h"
#include "toolkit/CommonControls.h"

namespace zarvo::app {
namespace {

struct Probe {
  const wchar_t* file;
  const char* folder;
};

constexpr Probe kProbes[] = {
    {L"zarvo_search_probe.dll", "the program's folder"},
    {L"zarvo_search_probe_current.dll", "the current folder"},
};

using ProbeFunction = int (*)();

// Loads `file` by its bare name as the program would; whether our own copy came.
bool LoadsOurCopy(const wchar_t* file, DWORD& error) {
  HMODULE library = ::LoadLibraryW(file);
  error = ::GetLastError();
  if (!library) return false;
  const auto probe = reinterpret_cast<ProbeFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library, "ZarvoSearchProbe")));
  const bool ours = probe && probe() == 0x5EA2C;
  ::FreeLibrary(library);
  return ours;
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  ::GetSystemDirectoryW(folder, MAX_PATH);
  return folder;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(DllSearch, RestrictingTakesOutTheFoldersAnotherFileCouldBePlantedIn) {
  ASSERT_TRUE(::SetCurrentDirectoryW(testing::WindowsPath(ZARVO_CURRENT_FOLDER).c_str()));
  for (const Probe& probe : kProbes) {
    DWORD error = 0;
    EXPECT_TRUE(LoadsOurCopy(probe.file, error)) << probe.folder << " before: " << error;
  }

  RestrictDllSearchOrder();

  for (const Probe& probe : kProbes) {
    DWORD error = 0;
    EXPECT_FALSE(LoadsOurCopy(probe.file, error)) << probe.folder << " after";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << probe.folder;
  }

  // The system folder is still searched.
  ASSERT_EQ(::GetModuleHandleW(L"cabinet.dll"), nullptr) << "loaded already, not searched";
  HMODULE system = ::LoadLibraryW(L"cabinet.dll");
  ASSERT_NE(system, nullptr) << ::GetLastError();
  EXPECT_TRUE(SamePath(ModulePath(system), SystemFolder() + L"\\cabinet.dll"))
      << std::string(ModulePath(system).begin(), ModulePath(system).end());
  ::FreeLibrary(system);
}

// What the toolkit does next: the common controls still come as the manifest's side-by-side
// version, not the system folder's.
TEST(DllSearch, CommonControlsStillComeSideBySideAfterTheRestriction) {
  RestrictDllSearchOrder();
  ASSERT_EQ(::GetModuleHandleW(L"comctl32.dll"), nullptr) << "imported after all";
  toolkit::LoadCommonControls(ICC_PROGRESS_CLASS);
  HMODULE library = ::GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_FALSE(SamePath(ModulePath(library), SystemFolder() + L"\\comctl32.dll"))
      << std::string(ModulePath(library).begin(), ModulePath(library).end());
  WNDCLASSEXW progress{};
  progress.cbSize = sizeof(progress);
  EXPECT_TRUE(::GetClassInfoExW(nullptr, PROGRESS_CLASSW, &progress));
}

}  // namespace
}  // namespace zarvo::app
