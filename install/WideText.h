// The payload's UTF-16 text (char16_t) and the Win32 wide text (wchar_t) are the same bytes.
#pragma once

#include <string>
#include <string_view>

namespace zarvo::install {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

}  // namespace zarvo::install
