// The date-time value (days since 1899-12-30 plus the time of day as the fraction, local time)
// and the DOS date and time that the payload stores.
#pragma once

#include <cstdint>
#include <ctime>
#include <stdexcept>

namespace zarvo::payload {

// 0 means no date. Before 1899-12-30 the value is negative and the fraction still counts forward
// from midnight: -1.25 is 1899-12-29 06:00.
using TDateTime = double;

struct DateTimeFields {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;

  friend bool operator==(const DateTimeFields&, const DateTimeFields&) = default;
};

// Fields that name no calendar moment, or a DOS date-time that is not valid.
class InvalidDateTimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The calendar fields of a moment (seconds since 1970) in this machine's local time, to the
// second; InvalidDateTimeError when the C library cannot convert it.
DateTimeFields LocalDateTimeFields(std::time_t moment);

// Years 1 to 9999, every other field in its calendar range; otherwise InvalidDateTimeError.
TDateTime EncodeDateTime(const DateTimeFields& fields);

// The inverse of EncodeDateTime, rounded to the millisecond.
DateTimeFields DecodeDateTime(TDateTime value);

// Date in the high 16 bits, time in the low 16 bits. 0 gives exactly 0; any other value must
// be a valid moment (month 1-12, a day the month has, hour <= 23, minute <= 59, seconds field
// <= 29), else InvalidDateTimeError.
TDateTime DosDateTimeToDateTime(std::uint32_t dosDateTime);

// The DOS encoding of a moment, for the packer. Seconds are rounded down to the even second
// and milliseconds dropped (DOS keeps no more). Years outside 1980-2107 or invalid fields throw
// InvalidDateTimeError. The result is never 0.
std::uint32_t EncodeDosDateTime(const DateTimeFields& fields);

}  // namespace zarvo::payload
