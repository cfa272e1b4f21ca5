// UTF-8 <-> UTF-16 conversion with U+FFFD for ill-formed input.
#include "payload/Utf.h"

namespace zarvo::payload {
namespace {

constexpr char16_t Replacement = u'\uFFFD';

void AppendCodePoint(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
  } else {
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::span<const std::uint8_t> in) {
  std::u16string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    const std::uint8_t lead = in[i];
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    int length = 0;
    char32_t codePoint = 0;
    // The second byte's range excludes overlong forms, surrogates and values above U+10FFFF.
    std::uint8_t low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      codePoint = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      codePoint = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      out.push_back(Replacement);
      ++i;
      continue;
    }
    std::size_t next = i + 1;
    bool complete = true;
    for (int k = 1; k < length; ++k, ++next) {
      if (next >= in.size() || in[next] < low || in[next] > high) {
        complete = false;
        break;
      }
      codePoint = codePoint << 6 | (in[next] & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    if (complete) {
      AppendCodePoint(out, codePoint);
    } else {
      out.push_back(Replacement);
    }
    i = next;
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  return Utf8ToUtf16(std::span(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()));
}

std::string Utf16ToUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    char32_t codePoint = in[i];
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
        in[i + 1] <= 0xDFFF) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
      codePoint = Replacement;
    }
    if (codePoint < 0x80) {
      out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
      out.push_back(static_cast<char>(0xC0 | codePoint >> 6));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | codePoint >> 12));
      out.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | codePoint >> 18));
      out.push_back(static_cast<char>(0x80 | (codePoint >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
  }
  return out;
}

}  // namespace zarvo::payload
