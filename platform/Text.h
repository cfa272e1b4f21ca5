// Win32 wide text to and from UTF-8 and the payload's char16_t text.
#pragma once

#include <string>
#include <string_view>

namespace zarvo::platform {

// Win32 wide text is UTF-16, code unit for code unit the payload's text.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

// Never fail, and agree with the payload's reading of names and manifests: an ill-formed UTF-8
// sequence or an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// The same code units under the other type; nothing is checked or replaced.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

}  // namespace zarvo::platform
