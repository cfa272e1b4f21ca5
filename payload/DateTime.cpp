// Calendar arithmetic for the date-time value and the DOS date and time.
#include "payload/DateTime.h"

#include <cmath>
#include <string>

namespace zarvo::payload {
namespace {

constexpr std::int64_t MillisecondsPerDay = 86'400'000;
// Days from 1899-12-30 to 1970-01-01.
constexpr std::int64_t UnixEpochDay = 25'569;

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

bool FieldsValid(const DateTimeFields& f) {
  return f.Year >= 1 && f.Year <= 9999 && f.Month >= 1 && f.Month <= 12 && f.Day >= 1 &&
         f.Day <= DaysInMonth(f.Year, f.Month) && f.Hour >= 0 && f.Hour <= 23 && f.Minute >= 0 &&
         f.Minute <= 59 && f.Second >= 0 && f.Second <= 59 && f.Millisecond >= 0 &&
         f.Millisecond <= 999;
}

std::string Describe(const DateTimeFields& f) {
  return std::to_string(f.Year) + "-" + std::to_string(f.Month) + "-" + std::to_string(f.Day) +
         " " + std::to_string(f.Hour) + ":" + std::to_string(f.Minute) + ":" +
         std::to_string(f.Second) + "." + std::to_string(f.Millisecond);
}

std::string Hex(std::uint32_t value) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text = "0x00000000";
  for (int i = 9; i >= 2; --i, value >>= 4) text[i] = digits[value & 0xF];
  return text;
}

}  // namespace

TDateTime EncodeDateTime(const DateTimeFields& fields) {
  if (!FieldsValid(fields)) throw InvalidDateTimeError("invalid date and time " + Describe(fields));
  const std::int64_t day = DaysFromCivil(fields.Year, fields.Month, fields.Day) + UnixEpochDay;
  const double time =
      static_cast<double>(((fields.Hour * 60 + fields.Minute) * 60 + fields.Second) * 1000 +
                          fields.Millisecond) /
      MillisecondsPerDay;
  // Before the base day the whole days count backwards while the time still counts forwards.
  return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

DateTimeFields DecodeDateTime(TDateTime value) {
  if (!std::isfinite(value) || std::fabs(value) > 3'000'000.0)
    throw InvalidDateTimeError("date-time value out of range");
  std::int64_t day = static_cast<std::int64_t>(std::trunc(value));
  std::int64_t milliseconds =
      std::llround(std::fabs(value - static_cast<double>(day)) * MillisecondsPerDay);
  // Rounded up to midnight: the next calendar day, also before the base day, where the time
  // counts forward from the day's midnight as well.
  if (milliseconds >= MillisecondsPerDay) {
    milliseconds -= MillisecondsPerDay;
    ++day;
  }
  DateTimeFields fields;
  CivilFromDays(day - UnixEpochDay, fields.Year, fields.Month, fields.Day);
  fields.Millisecond = static_cast<int>(milliseconds % 1000);
  fields.Second = static_cast<int>(milliseconds / 1000 % 60);
  fields.Minute = static_cast<int>(milliseconds / 60'000 % 60);
  fields.Hour = static_cast<int>(milliseconds / 3'600'000);
  return fields;
}

TDateTime DosDateTimeToDateTime(std::uint32_t dosDateTime) {
  if (dosDateTime == 0) return 0;
  DateTimeFields fields;
  fields.Year = static_cast<int>(dosDateTime >> 25) + 1980;
  fields.Month = static_cast<int>(dosDateTime >> 21 & 0xF);
  fields.Day = static_cast<int>(dosDateTime >> 16 & 0x1F);
  fields.Hour = static_cast<int>(dosDateTime >> 11 & 0x1F);
  fields.Minute = static_cast<int>(dosDateTime >> 5 & 0x3F);
  fields.Second = static_cast<int>(dosDateTime & 0x1F) * 2;
  // A seconds field of 30 or 31 would read as 60 or 62 seconds.
  if (!FieldsValid(fields))
    throw InvalidDateTimeError("invalid DOS date and time " + Hex(dosDateTime));
  return EncodeDateTime(fields);
}

std::uint32_t EncodeDosDateTime(const DateTimeFields& fields) {
  if (!FieldsValid(fields) || fields.Year < 1980 || fields.Year > 2107)
    throw InvalidDateTimeError("no DOS date and time for " + Describe(fields));
  return static_cast<std::uint32_t>(fields.Year - 1980) << 25 |
         static_cast<std::uint32_t>(fields.Month) << 21 |
         static_cast<std::uint32_t>(fields.Day) << 16 |
         static_cast<std::uint32_t>(fields.Hour) << 11 |
         static_cast<std::uint32_t>(fields.Minute) << 5 |
         static_cast<std::uint32_t>(fields.Second / 2);
}

DateTimeFields LocalDateTimeFields(std::time_t moment) {
  std::tm local{};
#ifdef _WIN32
  const bool converted = localtime_s(&local, &moment) == 0;
#else
  const bool converted = localtime_r(&moment, &local) != nullptr;
#endif
  if (!converted) throw InvalidDateTimeError("time stamp has no local time");
  DateTimeFields fields;
  fields.Year = local.tm_year + 1900;
  fields.Month = local.tm_mon + 1;
  fields.Day = local.tm_mday;
  fields.Hour = local.tm_hour;
  fields.Minute = local.tm_min;
  // A leap second reads as the last second of its minute.
  fields.Second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return fields;
}

}  // namespace zarvo::payload
