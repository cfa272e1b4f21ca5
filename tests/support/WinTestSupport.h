// Helpers of the Windows tests: a temporary folder, whole-file reads and writes, the user's shell
// folders pointed into a test folder, and readable names for table cases.
#pragma once

#include <windows.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace zarvo::testing {

// A fresh folder under the temporary folder, removed with everything in it (read-only files
// included) at the end.
class TTempFolder {
public:
  explicit TTempFolder(const std::wstring& prefix = L"zarvo-test") {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    FPath = std::filesystem::path(base) /
            (prefix + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++Counter()));
    std::filesystem::create_directories(FPath);
  }
  ~TTempFolder() {
    std::error_code ignored;
    for (auto& entry : std::filesystem::recursive_directory_iterator(FPath, ignored)) {
      ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(FPath, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // The folder as the install run takes it: with a trailing backslash.
  std::wstring Dir() const { return FPath.wstring() + L"\\"; }

private:
  static int& Counter() {
    static int counter = 0;
    return counter;
  }
  std::filesystem::path FPath;
};

inline std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Write(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// The current user's "Shell Folders" values Desktop and Programs pointed at two folders under
// `root` while it lives; the values as they were come back after it.
class TShellFoldersHere {
public:
  explicit TShellFoldersHere(const std::filesystem::path& root)
      : FDesktop(root / L"Desktop"), FPrograms(root / L"Programs") {
    std::filesystem::create_directories(FDesktop);
    std::filesystem::create_directories(FPrograms);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &FKey, nullptr);
    for (const wchar_t* name : {L"Desktop", L"Programs"}) {
      wchar_t text[MAX_PATH] = {};
      DWORD size = sizeof(text) - sizeof(wchar_t);
      DWORD type = 0;
      if (::RegQueryValueExW(FKey, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
          type == REG_SZ)
        FSaved.emplace_back(name, text);
    }
    Set(L"Desktop", FDesktop.wstring());
    Set(L"Programs", FPrograms.wstring());
  }
  ~TShellFoldersHere() {
    for (const wchar_t* name : {L"Desktop", L"Programs"}) ::RegDeleteValueW(FKey, name);
    for (const auto& [name, value] : FSaved) Set(name, value);
    ::RegCloseKey(FKey);
  }
  TShellFoldersHere(const TShellFoldersHere&) = delete;
  TShellFoldersHere& operator=(const TShellFoldersHere&) = delete;

  void Set(const std::wstring& name, const std::wstring& value) {
    ::RegSetValueExW(FKey, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  // A value of the wrong type, as a damaged profile may hold.
  void SetNumber(const std::wstring& name, DWORD number) {
    ::RegSetValueExW(FKey, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  }
  // Sets both values again: Wine's shell writes its own answers back into this key now and then,
  // so a test puts them right before the step that reads them.
  void Refresh() {
    Set(L"Desktop", FDesktop.wstring());
    Set(L"Programs", FPrograms.wstring());
  }
  const std::filesystem::path& Desktop() const { return FDesktop; }
  const std::filesystem::path& Programs() const { return FPrograms; }

private:
  static constexpr wchar_t Key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  std::filesystem::path FDesktop, FPrograms;
  HKEY FKey = nullptr;
  std::vector<std::pair<std::wstring, std::wstring>> FSaved;
};

// Names table cases by their `Case` text, letters and digits kept, everything else "_".
struct CaseName {
  template <class Info>
  std::string operator()(const Info& info) const {
    std::string name = info.param.Case;
    for (char& ch : name)
      if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
  }
};

}  // namespace zarvo::testing
