// Comparison of archive entry names: whole names, letter case ignored.
#pragma once

#include <string_view>

namespace zarvo::payload {

class NameComparer {
 public:
  virtual ~NameComparer() = default;
  // True when the two whole names are equal ignoring letter case.
  virtual bool Equal(std::u16string_view left, std::u16string_view right) const = 0;
};

// The portable comparison, used by the native build and the packer. It is not locale-aware:
// it applies a fixed simple case folding (one code unit to one code unit, upper to lower) for
// ASCII, Latin-1, Latin Extended-A, basic Greek, Cyrillic with its supplement, Armenian and the
// fullwidth Latin letters; every other code unit, including surrogates, compares as it is.
// The Windows program compares under the user's locale instead (install/LocaleNameComparer.h).
class CaseFoldingNameComparer final : public NameComparer {
 public:
  bool Equal(std::u16string_view left, std::u16string_view right) const override;
};

// The simple case folding above for one code unit.
char16_t FoldCase(char16_t unit);

}  // namespace zarvo::payload
