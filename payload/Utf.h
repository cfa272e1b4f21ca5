// UTF-8 <-> UTF-16 for the payload's names and the manifest text (text is UTF-16 in memory).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zarvo::payload {

// Never fails: each ill-formed sequence (stray continuation byte, overlong form, surrogate,
// code point above U+10FFFF, truncated sequence) becomes one U+FFFD per maximal subpart.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::u16string Utf8ToUtf16(std::span<const std::uint8_t> utf8);

// Never fails: an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace zarvo::payload
