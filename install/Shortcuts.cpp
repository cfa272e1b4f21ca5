// Shell links through CLSID_ShellLink, IShellLinkW and IPersistFile.
#include "install/Shortcuts.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "platform/Handles.h"
#include "platform/Win32Error.h"

namespace zarvo::install {
namespace {

constexpr wchar_t ShellFoldersKey[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

int FallbackFolder(const wchar_t* value) {
  return std::wstring_view(value) == L"Desktop" ? CSIDL_DESKTOPDIRECTORY : CSIDL_PROGRAMS;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::wstring UserShellFolder(const wchar_t* value) {
  std::wstring folder;
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, ShellFoldersKey, 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
    const platform::UniqueRegKey key(opened);
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.get(), value, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS) {
      if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw platform::Win32Error("RegQueryValueExW(Shell Folders\\" + std::string(value, value + wcslen(value)) + ")",
                                   ERROR_INVALID_DATATYPE);
      std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
      DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
      if (::RegQueryValueExW(key.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) ==
          ERROR_SUCCESS) {
        text.resize(size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        folder = text;
      }
    }
  }
  if (folder.empty()) {
    // A profile without the old value still has the folder.
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, FallbackFolder(value), nullptr, SHGFP_TYPE_CURRENT, path)))
      folder = path;
  }
  return folder;
}

HRESULT MakeLink(const std::wstring& linkPath, const std::wstring& target, const std::wstring& folder) {
  platform::ComPtr<IShellLinkW> link;
  HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void**>(link.put()));
  if (FAILED(result)) return result;
  platform::ComPtr<IPersistFile> file;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
  if (FAILED(result)) return result;
  if (FAILED(result = link->SetPath(target.c_str()))) return result;
  if (FAILED(result = link->SetWorkingDirectory(folder.c_str()))) return result;
  if (FAILED(result = link->SetIconLocation(target.c_str(), 0))) return result;
  return file->Save(linkPath.c_str(), FALSE);
}

TInstallFailures CreateShortcut(const TShortcutRequest& request) {
  TInstallFailures failures;
  std::wstring target = request.InstallDir + request.FN;
  // The program file itself, so the link opens it and shows its icon.
  if (!IsFile(target)) target += L".exe";
  auto one = [&](bool wanted, const wchar_t* value) {
    if (!wanted) return;
    const std::wstring name = request.Cap + L".lnk";
    std::wstring folder;
    try {
      folder = UserShellFolder(value);
    } catch (const platform::Win32Error& error) {
      failures.push_back({TInstallFailure::TKind::Link, name, TFailureReason::NoShellFolder, error.Code()});
      return;
    }
    if (folder.empty()) {
      failures.push_back({TInstallFailure::TKind::Link, name, TFailureReason::NoShellFolder, 0});
      return;
    }
    const std::wstring linkPath = folder + L"\\" + name;
    if (!IsFile(target)) {
      failures.push_back({TInstallFailure::TKind::Link, linkPath, TFailureReason::NoProgram, 0});
      return;
    }
    if (const HRESULT result = MakeLink(linkPath, target, request.InstallDir); FAILED(result))
      failures.push_back({TInstallFailure::TKind::Link, linkPath, TFailureReason::LinkNotSaved,
                          static_cast<DWORD>(result)});
  };
  one(request.Desktop, L"Desktop");
  one(request.StartMenu, L"Programs");
  return failures;
}

}  // namespace zarvo::install
