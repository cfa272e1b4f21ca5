// The locale-aware name comparison.
#include "install/LocaleNameComparer.h"

#include <windows.h>

#include <limits>

namespace zarvo::install {

bool LocaleNameComparer::Equal(std::u16string_view left, std::u16string_view right) const {
  constexpr std::size_t maxLength = static_cast<std::size_t>(std::numeric_limits<int>::max());
  if (left.size() > maxLength || right.size() > maxLength) return false;
  if (left.empty() || right.empty()) return left.empty() && right.empty();
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                        reinterpret_cast<const wchar_t*>(left.data()),
                        static_cast<int>(left.size()),
                        reinterpret_cast<const wchar_t*>(right.data()),
                        static_cast<int>(right.size())) == CSTR_EQUAL;
}

}  // namespace zarvo::install
