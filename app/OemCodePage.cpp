// Reading the OEM code page from the registry.
#include "app/OemCodePage.h"

#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace zarvo::app {
namespace {

constexpr wchar_t CodePageKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
constexpr wchar_t OemCodePageValue[] = L"OEMCP";

}  // namespace

std::uint16_t ParseCodePage(std::wstring_view text) {
  if (text.empty() || text.size() > 5) return 0;
  unsigned value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return 0;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  return value <= 0xFFFF ? static_cast<std::uint16_t>(value) : 0;
}

std::uint16_t ReadOemCodePage() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, CodePageKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return 0;
  const platform::UniqueRegKey key(opened);
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), OemCodePageValue, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return 0;
  // A number stored as a number is not the text the system keeps there.
  if (type != REG_SZ && type != REG_EXPAND_SZ) return 0;
  if (bytes > 64) return 0;
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), OemCodePageValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS)
    return 0;
  text.resize(size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return ParseCodePage(text);
}

}  // namespace zarvo::app
