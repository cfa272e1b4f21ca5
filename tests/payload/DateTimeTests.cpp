// The date-time value and the DOS date and time.
#include <gtest/gtest.h>

#include "payload/DateTime.h"

namespace zarvo::payload {
namespace {

struct KnownValue {
  DateTimeFields fields;
  TDateTime value;
};

class DateTimeKnownValueTest : public ::testing::TestWithParam<KnownValue> {};

TEST_P(DateTimeKnownValueTest, EncodesAndDecodesTheDayCountAndFraction) {
  const KnownValue& c = GetParam();
  EXPECT_DOUBLE_EQ(EncodeDateTime(c.fields), c.value);
  EXPECT_EQ(DecodeDateTime(c.value), c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateTimeKnownValueTest,
    ::testing::Values(KnownValue{{1899, 12, 30, 0, 0, 0, 0}, 0.0},
                      KnownValue{{1899, 12, 31, 12, 0, 0, 0}, 1.5},
                      KnownValue{{1900, 3, 1, 0, 0, 0, 0}, 61.0},
                      KnownValue{{1980, 1, 1, 0, 0, 0, 0}, 29221.0},
                      KnownValue{{2000, 2, 29, 18, 0, 0, 0}, 36585.75},
                      KnownValue{{2107, 12, 31, 23, 59, 58, 0}, 75971.0 + 86398.0 / 86400.0},
                      // Before the base day the fraction still counts forward from midnight.
                      KnownValue{{1899, 12, 29, 6, 0, 0, 0}, -1.25},
                      KnownValue{{2024, 7, 1, 10, 20, 30, 456},
                                 45474.0 + (37230456.0 / 86400000.0)}));

TEST(DateTimeTest, MillisecondsSurviveTheRoundTrip) {
  for (int millisecond : {0, 1, 499, 500, 998, 999}) {
    const DateTimeFields fields{2023, 12, 31, 23, 59, 59, millisecond};
    EXPECT_EQ(DecodeDateTime(EncodeDateTime(fields)), fields) << millisecond;
  }
}

TEST(DateTimeTest, RoundingUpToMidnightGivesTheNextDay) {
  // A tenth of a millisecond before midnight, so the time rounds up to the next day.
  constexpr double almostOneDay = 1.0 - 0.1 / 86'400'000.0;
  const struct {
    TDateTime value;
    DateTimeFields fields;
  } cases[] = {
      {almostOneDay, {1899, 12, 31, 0, 0, 0, 0}},
      {36585.0 + almostOneDay, {2000, 3, 1, 0, 0, 0, 0}},
      // Before the base day the time still counts forward from the day's own midnight.
      {-1.0 - almostOneDay, {1899, 12, 30, 0, 0, 0, 0}},
      {-2.0 - almostOneDay, {1899, 12, 29, 0, 0, 0, 0}},
      {-almostOneDay, {1899, 12, 31, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeDateTime(c.value), c.fields) << c.value;
}

TEST(DateTimeTest, InvalidFieldsThrow) {
  const DateTimeFields invalid[] = {
      {0, 1, 1, 0, 0, 0, 0},       {10000, 1, 1, 0, 0, 0, 0}, {2000, 13, 1, 0, 0, 0, 0},
      {2001, 2, 29, 0, 0, 0, 0},   {1900, 2, 29, 0, 0, 0, 0}, {2000, 4, 31, 0, 0, 0, 0},
      {2000, 1, 1, 24, 0, 0, 0},   {2000, 1, 1, 0, 60, 0, 0}, {2000, 1, 1, 0, 0, 60, 0},
      {2000, 1, 1, 0, 0, 0, 1000}, {2000, 1, 0, 0, 0, 0, 0},  {2000, 1, 1, -1, 0, 0, 0}};
  for (const DateTimeFields& fields : invalid) {
    EXPECT_THROW(EncodeDateTime(fields), InvalidDateTimeError)
        << fields.Year << "-" << fields.Month << "-" << fields.Day << " " << fields.Hour << ":"
        << fields.Minute << ":" << fields.Second << "." << fields.Millisecond;
  }
}

constexpr std::uint32_t Dos(std::uint32_t yearsSince1980, std::uint32_t month, std::uint32_t day,
                            std::uint32_t hour, std::uint32_t minute, std::uint32_t secondsField) {
  return yearsSince1980 << 25 | month << 21 | day << 16 | hour << 11 | minute << 5 | secondsField;
}

TEST(DosDateTimeTest, ZeroIsExactlyNoDate) { EXPECT_EQ(DosDateTimeToDateTime(0), 0.0); }

struct DosCase {
  std::uint32_t dos;
  DateTimeFields fields;
};

class DosDateTimeDecodeTest : public ::testing::TestWithParam<DosCase> {};

TEST_P(DosDateTimeDecodeTest, GivesTheLocalMomentToTheEvenSecond) {
  const DosCase& c = GetParam();
  EXPECT_EQ(DosDateTimeToDateTime(c.dos), EncodeDateTime(c.fields));
  EXPECT_EQ(EncodeDosDateTime(c.fields), c.dos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DosDateTimeDecodeTest,
    ::testing::Values(DosCase{Dos(0, 1, 1, 0, 0, 0), {1980, 1, 1, 0, 0, 0, 0}},
                      DosCase{Dos(0, 1, 1, 0, 0, 1), {1980, 1, 1, 0, 0, 2, 0}},
                      DosCase{Dos(44, 2, 29, 23, 59, 29), {2024, 2, 29, 23, 59, 58, 0}},
                      DosCase{Dos(41, 7, 15, 12, 34, 28), {2021, 7, 15, 12, 34, 56, 0}},
                      DosCase{Dos(127, 12, 31, 23, 59, 29), {2107, 12, 31, 23, 59, 58, 0}}));

TEST(DosDateTimeTest, InvalidNonzeroValuesThrow) {
  const std::uint32_t invalid[] = {
      Dos(20, 0, 1, 0, 0, 0),    // month 0
      Dos(20, 13, 1, 0, 0, 0),   // month 13
      Dos(20, 15, 1, 0, 0, 0),   // month 15
      Dos(20, 1, 0, 0, 0, 0),    // day 0
      Dos(21, 2, 29, 0, 0, 0),   // 2001 is no leap year
      Dos(20, 4, 31, 0, 0, 0),   // April has 30 days
      Dos(20, 1, 1, 24, 0, 0),   // hour 24
      Dos(20, 1, 1, 31, 0, 0),   // hour 31
      Dos(20, 1, 1, 0, 60, 0),   // minute 60
      Dos(20, 1, 1, 0, 0, 30),   // 60 seconds
      Dos(20, 1, 1, 0, 0, 31),   // 62 seconds
      1,                         // only a time: the date part holds month 0
  };
  for (const std::uint32_t dos : invalid) {
    EXPECT_THROW(DosDateTimeToDateTime(dos), InvalidDateTimeError) << std::hex << dos;
  }
}

TEST(DosDateTimeTest, EncodingRoundsDownToTheEvenSecondAndChecksTheYears) {
  EXPECT_EQ(EncodeDosDateTime({2021, 7, 15, 12, 34, 57, 999}), Dos(41, 7, 15, 12, 34, 28));
  EXPECT_THROW(EncodeDosDateTime({1979, 12, 31, 23, 59, 59, 0}), InvalidDateTimeError);
  EXPECT_THROW(EncodeDosDateTime({2108, 1, 1, 0, 0, 0, 0}), InvalidDateTimeError);
  EXPECT_THROW(EncodeDosDateTime({2021, 2, 29, 0, 0, 0, 0}), InvalidDateTimeError);
}

}  // namespace
}  // namespace zarvo::payload
