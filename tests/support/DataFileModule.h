// Windows tests that read built programs: host paths as Wine shows them, and a program's file
// loaded for its resources only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace zarvo::testing {

// The build passes host paths; Wine shows the host's root as drive Z:.
inline std::wstring WindowsPath(std::string_view hostPath) {
  std::wstring path = hostPath.starts_with('/') ? L"Z:" : L"";
  for (const char c : hostPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  return path;
}

class DataFileModule {
 public:
  explicit DataFileModule(const std::wstring& path)
      : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataFileModule() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  DataFileModule(DataFileModule&& other) noexcept
      : module_(std::exchange(other.module_, nullptr)) {}
  DataFileModule& operator=(DataFileModule&&) = delete;
  DataFileModule(const DataFileModule&) = delete;
  DataFileModule& operator=(const DataFileModule&) = delete;
  HMODULE Get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace zarvo::testing
