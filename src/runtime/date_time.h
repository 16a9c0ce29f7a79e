// Date-time values: double days since 1899-12-30, the fraction being the
// time of day. Encoding raises EConvertError for parts that form no valid
// date or time.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

struct DateParts {
  int year;
  int month;
  int day;
};
struct TimeParts {
  int hour;
  int minute;
  int second;
  int millisecond;
};
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);

// The locale's short formats, used for "ddddd" and "t".
struct ShortFormats {
  std::u16string date = u"yyyy-mm-dd";
  std::u16string time = u"hh:nn";
};

// Formats with the runtime's pattern letters: yyyy yy m mm d dd h hh n nn
// s ss zzz, "ddddd" (short date) and "t" (short time); text in double or
// single quotes is copied; other characters stand for themselves.
std::u16string FormatDateTime(std::u16string_view pattern, TDateTime value,
                              const ShortFormats& formats = ShortFormats{});

}  // namespace quillet
