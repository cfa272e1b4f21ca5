// Wide text to and from UTF-8 and char16_t: well-formed text round-trips as the system converts
// it, ill-formed input becomes U+FFFD the way the payload reads it.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>

#include "platform/Text.h"

namespace zarvo::platform {
namespace {

// Windows' own conversion, for well-formed text only.
std::string SystemUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size, nullptr, nullptr);
  return result;
}

struct TextCase {
  const char* label;
  std::string utf8;
  std::wstring wide;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.label; }

std::string Label(const ::testing::TestParamInfo<TextCase>& info) { return info.param.label; }

class RoundTripTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RoundTripTest, ConvertsBothWaysAsTheSystemDoes) {
  const TextCase& c = GetParam();
  EXPECT_EQ(ToUtf8(c.wide), c.utf8);
  EXPECT_EQ(FromUtf8(c.utf8), c.wide);
  EXPECT_EQ(SystemUtf8(c.wide), c.utf8);
  EXPECT_EQ(ToWide(FromWide(c.wide)), c.wide);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTripTest,
    ::testing::Values(
        TextCase{"empty", "", L""},
        TextCase{"ascii", "setup.exe /update", L"setup.exe /update"},
        TextCase{"cyrillic", "C:\\Программы\\Зарво\\Файл.txt", L"C:\\Программы\\Зарво\\Файл.txt"},
        TextCase{"euro_and_accents", "€ café", L"€ café"},
        TextCase{"non_bmp", "\xF0\x9F\x98\x80", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
        TextCase{"mixed", "Ёлка 😀.lnk", L"Ёлка \U0001F600.lnk"},
        TextCase{"embedded_nul", std::string("a\0b", 3), std::wstring(L"a\0b", 3)}),
    Label);

class IllFormedUtf8Test : public ::testing::TestWithParam<TextCase> {};

TEST_P(IllFormedUtf8Test, BecomesOneReplacementPerMaximalSubpart) {
  EXPECT_EQ(FromUtf8(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IllFormedUtf8Test,
    ::testing::Values(TextCase{"stray_continuation", "a\x80" "b", L"a\uFFFDb"},
                      TextCase{"invalid_byte", "\xFF", L"\uFFFD"},
                      TextCase{"overlong_slash", "\xC0\xAF", L"\uFFFD\uFFFD"},
                      TextCase{"encoded_surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
                      TextCase{"above_10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      TextCase{"truncated_at_the_end", "Па\xD0", L"Па\uFFFD"},
                      TextCase{"truncated_before_ascii", "\xE2\x82x", L"\uFFFDx"}),
    Label);

class LoneSurrogateTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(LoneSurrogateTest, BecomesAReplacementInUtf8AndStaysInChar16Text) {
  const TextCase& c = GetParam();
  EXPECT_EQ(ToUtf8(c.wide), c.utf8);
  // Between the two 16-bit types nothing is decoded, so nothing is replaced.
  const std::u16string units = FromWide(c.wide);
  ASSERT_EQ(units.size(), c.wide.size());
  for (std::size_t i = 0; i < units.size(); ++i)
    EXPECT_EQ(static_cast<unsigned>(units[i]), static_cast<unsigned>(c.wide[i]));
  EXPECT_EQ(ToWide(units), c.wide);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoneSurrogateTest,
    ::testing::Values(
        TextCase{"high_at_the_end", "a\xEF\xBF\xBD", std::wstring{L'a', wchar_t(0xD800)}},
        TextCase{"high_before_a_letter", "\xEF\xBF\xBD" "a", std::wstring{wchar_t(0xD83D), L'a'}},
        TextCase{"low_alone", "\xEF\xBF\xBD", std::wstring{wchar_t(0xDC00)}},
        TextCase{"pair_in_the_wrong_order", "\xEF\xBF\xBD\xEF\xBF\xBD",
                 std::wstring{wchar_t(0xDE00), wchar_t(0xD83D)}}),
    Label);

}  // namespace
}  // namespace zarvo::platform
