// The portable, locale-free case folding of entry names.
#include "payload/NameComparer.h"

namespace zarvo::payload {

char16_t FoldCase(char16_t unit) {
  const auto shift = [unit](int by) { return static_cast<char16_t>(unit + by); };
  // Blocks where upper and lower case alternate: the upper case letter is at even (or odd) units.
  const auto pairedAt = [unit](char16_t first, char16_t last, bool upperIsEven) {
    return unit >= first && unit <= last && (unit % 2 == 0) == upperIsEven;
  };
  if (unit < 0x80) return unit >= u'A' && unit <= u'Z' ? shift(32) : unit;
  if (unit < 0x100) {
    if (unit == 0xB5) return 0x3BC;  // micro sign folds to Greek mu
    return unit >= 0xC0 && unit <= 0xDE && unit != 0xD7 ? shift(32) : unit;
  }
  if (unit < 0x180) {
    if (unit == 0x130 || unit == 0x131 || unit == 0x138 || unit == 0x149) return unit;
    if (unit == 0x178) return 0xFF;
    if (unit == 0x17F) return u's';
    if (pairedAt(0x100, 0x137, true) || pairedAt(0x139, 0x148, false) ||
        pairedAt(0x14A, 0x177, true) || pairedAt(0x179, 0x17E, false))
      return shift(1);
    return unit;
  }
  if (unit >= 0x370 && unit < 0x400) {
    if (unit == 0x386) return 0x3AC;
    if (unit >= 0x388 && unit <= 0x38A) return shift(37);
    if (unit == 0x38C) return 0x3CC;
    if (unit == 0x38E || unit == 0x38F) return shift(63);
    if ((unit >= 0x391 && unit <= 0x3A1) || (unit >= 0x3A3 && unit <= 0x3AB)) return shift(32);
    if (unit == 0x3C2) return 0x3C3;  // final sigma
    return unit;
  }
  if (unit >= 0x400 && unit < 0x530) {
    if (unit <= 0x40F) return shift(80);
    if (unit <= 0x42F) return shift(32);
    if (unit == 0x4C0) return 0x4CF;
    if (pairedAt(0x460, 0x481, true) || pairedAt(0x48A, 0x4BF, true) ||
        pairedAt(0x4C1, 0x4CE, false) || pairedAt(0x4D0, 0x52F, true))
      return shift(1);
    return unit;
  }
  if (unit >= 0x531 && unit <= 0x556) return shift(48);
  if (unit >= 0xFF21 && unit <= 0xFF3A) return shift(32);
  return unit;
}

bool CaseFoldingNameComparer::Equal(std::u16string_view left, std::u16string_view right) const {
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i] != right[i] && FoldCase(left[i]) != FoldCase(right[i])) return false;
  }
  return true;
}

}  // namespace zarvo::payload
