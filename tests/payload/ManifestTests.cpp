// The manifest text rules, UTF-8 decoding and the cutting of a line into path and flags.
#include <gtest/gtest.h>

#include <string>

#include "payload/Manifest.h"
#include "payload/Utf.h"

namespace zarvo::payload {
namespace {

ManifestLines Load(std::string_view text) {
  return LoadManifestLines(
      std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

struct TextCase {
  const char* label;
  std::string text;
  ManifestLines lines;
};

class ManifestTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ManifestTextTest, SplitsIntoLines) { EXPECT_EQ(Load(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ManifestTextTest,
    ::testing::Values(
        TextCase{"empty", "", {}},
        TextCase{"crlf_throughout", "a||#|A\r\nb|K|\r\n", {u"a||#|A", u"b|K|"}},
        TextCase{"no_final_break", "a\r\nb", {u"a", u"b"}},
        TextCase{"lone_lf_and_cr", "a\nb\rc", {u"a", u"b", u"c"}},
        TextCase{"mixed_breaks", "a\r\nb\nc\rd\r\n", {u"a", u"b", u"c", u"d"}},
        TextCase{"lf_cr_is_two_breaks", "a\n\rb", {u"a", u"", u"b"}},
        TextCase{"empty_middle_lines_kept", "a\r\n\r\n\nb\r\n", {u"a", u"", u"", u"b"}},
        TextCase{"only_a_break", "\r\n", {u""}},
        TextCase{"two_breaks_at_the_end", "a\r\n\r\n", {u"a", u""}},
        TextCase{"cr_at_the_very_end", "a\r", {u"a"}},
        TextCase{"bom_skipped", "\xEF\xBB\xBF" "a\r\nb", {u"a", u"b"}},
        TextCase{"only_a_bom", "\xEF\xBB\xBF", {}},
        TextCase{"second_bom_kept", "\xEF\xBB\xBF\xEF\xBB\xBF" "a", {u"\uFEFFa"}},
        TextCase{"nul_ends_the_text", std::string("a\r\nb\0c\r\nd", 9), {u"a", u"b"}},
        TextCase{"nul_first", std::string("\0a", 2), {}},
        TextCase{"nul_right_after_a_break", std::string("a\r\n\0b", 5), {u"a"}},
        TextCase{"cyrillic", "Папка\\Файл.txt||#|Описание\r\n", {u"Папка\\Файл.txt||#|Описание"}},
        TextCase{"invalid_utf8_replaced", "a\xFF" "b\xC3\r\n\xE2\x82" "c", {u"a\uFFFDb\uFFFD", u"\uFFFDc"}}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.label); });

struct Utf8Case {
  std::string utf8;
  std::u16string utf16;
};

class Utf8DecodeTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8DecodeTest, DecodesWithOneReplacementPerMaximalSubpart) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8DecodeTest,
    ::testing::Values(Utf8Case{"plain", u"plain"}, Utf8Case{"\xC3\xA9", u"é"},
                      Utf8Case{"\xE2\x82\xAC", u"€"}, Utf8Case{"\xF0\x9F\x98\x80", u"\U0001F600"},
                      Utf8Case{"\x80", u"\uFFFD"},               // stray continuation byte
                      Utf8Case{"\xC0\xAF", u"\uFFFD\uFFFD"},      // overlong "/"
                      Utf8Case{"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // surrogate
                      Utf8Case{"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
                      Utf8Case{"\xF0\x9F\x98", u"\uFFFD"},        // truncated at the end
                      Utf8Case{"\xE2\x82x", u"\uFFFDx"}));

TEST(Utf16ToUtf8Test, EncodesAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(Utf16ToUtf8(u"Файл €\U0001F600"), "Файл €\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'\xD800', u'a'}), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', u'\xDC00'}), "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'\xDC00', u'\xD800'}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

struct CutCase {
  const char* label;
  std::u16string line;
  std::u16string path;
  std::u16string flags;
};

class CutManifestLineTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutManifestLineTest, TakesPathAndTheFlagsInsideTheWindow) {
  const CutCase& c = GetParam();
  const ManifestLineParts parts = CutManifestLine(c.line);
  EXPECT_EQ(parts.Path, c.path);
  EXPECT_EQ(parts.Flags, c.flags);
}

const std::u16string Flags49(49, u'F');
const std::u16string Flags50(50, u'F');
const std::u16string Flags51(51, u'F');

INSTANTIATE_TEST_SUITE_P(
    Cases, CutManifestLineTest,
    ::testing::Values(
        CutCase{"file_line", u"docs\\readme.txt||#|Read-me file", u"docs\\readme.txt", u""},
        CutCase{"flags", u"cfg\\user.ini|O|#|User settings", u"cfg\\user.ini", u"O"},
        CutCase{"deletion_line", u"cache\\*.tmp|K|", u"cache\\*.tmp", u"K"},
        CutCase{"several_flags", u"bin\\x.dll|PFO|#|", u"bin\\x.dll", u"PFO"},
        CutCase{"no_bar", u"just text", u"", u""},
        CutCase{"empty_line", u"", u"", u""},
        CutCase{"bar_only", u"|", u"", u""},
        CutCase{"two_bars_only", u"||", u"", u""},
        CutCase{"no_second_bar", u"a|FO", u"a", u""},
        CutCase{"flags_49", u"a|" + Flags49 + u"|#|", u"a", Flags49},
        CutCase{"flags_50", u"a|" + Flags50 + u"|#|", u"a", u""},
        CutCase{"flags_51", u"a|" + Flags51 + u"|#|", u"a", u""},
        CutCase{"flags_49_line_ends_after_bar", u"a|" + Flags49 + u"|", u"a", Flags49},
        CutCase{"empty_path", u"|O|#|", u"", u"O"}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.label); });

struct PathCase {
  const char* label;
  std::u16string path;
  std::string problem;  // empty: stays inside the install folder
};

class UnsafePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(UnsafePathTest, RefusesWhatReachesOutsideTheInstallFolder) {
  EXPECT_EQ(UnsafePathProblem(GetParam().path), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnsafePathTest,
    ::testing::Values(PathCase{"plain", u"bin\\x.dll", ""}, PathCase{"mask", u"cache\\*.tmp", ""},
                      PathCase{"dot_part", u".\\a.txt", ""}, PathCase{"dots_inside", u"a..b\\c...d.txt", ""},
                      PathCase{"hidden_name", u"..a\\.b", ""}, PathCase{"empty", u"", "no path"},
                      PathCase{"root", u"\\Windows\\x.dll", "absolute path"},
                      PathCase{"share", u"\\\\server\\share\\x", "absolute path"},
                      PathCase{"slash_root", u"/etc/x", "absolute path"},
                      PathCase{"drive", u"C:\\x.dll", "absolute path (drive or stream)"},
                      PathCase{"drive_relative", u"C:x.dll", "absolute path (drive or stream)"},
                      PathCase{"stream", u"a.txt:hidden", "absolute path (drive or stream)"},
                      PathCase{"parent", u"..\\x.dll", "path climbs out with \"..\""},
                      PathCase{"parent_inside", u"a\\..\\..\\x.dll", "path climbs out with \"..\""},
                      PathCase{"parent_slash", u"a/../../x", "path climbs out with \"..\""},
                      PathCase{"parent_last", u"a\\..", "path climbs out with \"..\""},
                      PathCase{"three_dots", u"...\\x", "path climbs out with \"..\""},
                      PathCase{"dots_and_blank", u".. \\x", "path climbs out with \"..\""},
                      PathCase{"two_dots_blank_dot", u".. .\\x", "path climbs out with \"..\""}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.label); });

TEST(DeletionLineTest, OnlyTheTextBarKBarMarksADeletion) {
  EXPECT_TRUE(IsDeletionLine(u"cache\\*.tmp|K|"));
  EXPECT_TRUE(IsDeletionLine(u"a.txt|F|#|see |K| here"));
  EXPECT_FALSE(IsDeletionLine(u"a.txt|FK|#|"));
  EXPECT_FALSE(IsDeletionLine(u"a.txt|K"));
  EXPECT_FALSE(IsDeletionLine(u""));
}

}  // namespace
}  // namespace zarvo::payload
