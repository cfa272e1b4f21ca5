// Wide text conversions over the payload's UTF code, so every layer replaces the same way.
#include "platform/Text.h"

#include "payload/Utf.h"

namespace zarvo::platform {

std::string ToUtf8(std::wstring_view text) {
  return payload::Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

std::wstring FromUtf8(std::string_view text) { return ToWide(payload::Utf8ToUtf16(text)); }

}  // namespace zarvo::platform
