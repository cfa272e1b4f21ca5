// The portable case-folding comparison of entry names.
#include <gtest/gtest.h>

#include <string>

#include "payload/NameComparer.h"

namespace zarvo::payload {
namespace {

struct NamePair {
  std::u16string left;
  std::u16string right;
  bool equal;
};

class CaseFoldingNameComparerTest : public ::testing::TestWithParam<NamePair> {};

TEST_P(CaseFoldingNameComparerTest, ComparesWholeNamesIgnoringCase) {
  const NamePair& c = GetParam();
  const CaseFoldingNameComparer comparer;
  EXPECT_EQ(comparer.Equal(c.left, c.right), c.equal);
  EXPECT_EQ(comparer.Equal(c.right, c.left), c.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseFoldingNameComparerTest,
    ::testing::Values(
        NamePair{u"", u"", true}, NamePair{u"List", u"lIST", true},
        NamePair{u"Docs\\ReadMe.TXT", u"docs\\readme.txt", true},
        NamePair{u"docs\\readme.txt", u"docs/readme.txt", false},
        NamePair{u"list", u"lis", false}, NamePair{u"list", u"list ", false},
        NamePair{u"a", u"b", false}, NamePair{u"[", u"{", false},  // 0x5B and 0x7B are no pair
        NamePair{u"@", u"`", false},
        NamePair{u"ÉCOLE.TXT", u"école.txt", true}, NamePair{u"ÀÖØÞ", u"àöøþ", true},
        NamePair{u"×", u"÷", false}, NamePair{u"ŸŁŽĀ", u"ÿłžā", true},
        NamePair{u"ПРИВЕТ.TXT", u"привет.txt", true}, NamePair{u"ЁЖЎЇ", u"ёжўї", true},
        NamePair{u"ҐӁ", u"ґӂ", true}, NamePair{u"Е", u"Ё", false},
        NamePair{u"ΑΒΓΆΏ", u"αβγάώ", true}, NamePair{u"ΣΑΣ", u"σας", true},
        NamePair{u"ԱՖ", u"աֆ", true}, NamePair{u"ＡＺ", u"ａｚ", true},
        // Latin "A" and Cyrillic "А" look alike but are different letters.
        NamePair{u"A", u"А", false}, NamePair{u"a", u"а", false},
        NamePair{u"\U0001F600", u"\U0001F600", true}));

TEST(FoldCaseTest, LeavesLowerCaseAndUncasedUnitsAlone) {
  for (char16_t unit : {u'a', u'z', u'0', u'\\', u'ß', u'ı', u'я', u'ω', u'中', u'\xD83D'})
    EXPECT_EQ(FoldCase(unit), unit) << static_cast<int>(unit);
}

}  // namespace
}  // namespace zarvo::payload
