// The system's OEM code page, which chooses the window's first language.
#pragma once

#include <cstdint>
#include <string_view>

namespace zarvo::app {

// A code page written as decimal digits; 0 for an empty text, anything else, or a number that
// is no 16-bit code page.
std::uint16_t ParseCodePage(std::wstring_view text);

// "OEMCP" under HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Nls\CodePage, read as text;
// 0 when the key or value is missing, is not text, or is not a number. Never throws.
std::uint16_t ReadOemCodePage();

}  // namespace zarvo::app
