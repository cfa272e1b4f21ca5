// Entry names compared as Windows compares them for the user: case ignored under the user's
// locale (CompareStringW, LOCALE_USER_DEFAULT, NORM_IGNORECASE).
#pragma once

#include "payload/NameComparer.h"

namespace zarvo::install {

class LocaleNameComparer final : public payload::NameComparer {
 public:
  bool Equal(std::u16string_view left, std::u16string_view right) const override;
};

}  // namespace zarvo::install
