#include "runtime/date_time.h"

#include <cmath>
#include <cstdint>

#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// Times are counted in whole milliseconds of the day, the finest part a
// TDateTime is encoded from and decoded to.
constexpr double kMillisecondsPerDay = 86400000.0;
// Days from 1970-01-01 back to 1899-12-30, the zero of the representation.
constexpr std::int64_t kEpochOffset = 25569;

// Days since 1970-01-01 in the proleptic Gregorian calendar. The year is
// shifted to start in March, so that the leap day is the last day of its
// year and the month lengths follow a fixed 153-day pattern per five
// months; eras of 400 years (146097 days) repeat exactly, which keeps the
// arithmetic in unsigned numbers for dates before 1970 too.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// The inverse of DaysFromCivil: the era, then the year of the era (the
// divisions remove the leap days of the 4-, 100- and 400-year cycles),
// then the March-based day of the year and the month.
DateParts CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

std::u16string Padded(int value, std::size_t width) {
  std::u16string text = IntToText(value);
  while (text.size() < width) text.insert(text.begin(), u'0');
  return text;
}

}  // namespace

// Gregorian for every year, also before 1582 (the proleptic calendar).
bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Years 1 to 9999 only, the runtime's range: the four-digit year of the
// formats covers no other.
bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return false;
  }
  result = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                               kEpochOffset);
  return true;
}

// Second 60 (a leap second) is refused: a day has 86400 seconds here.
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999) {
    return false;
  }
  result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMillisecondsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result = 0;
  if (!TryEncodeDate(year, month, day, result)) throw EConvertError(kDateEncodeError);
  return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime result = 0;
  if (!TryEncodeTime(hour, minute, second, millisecond, result)) throw EConvertError(kTimeEncodeError);
  return result;
}

// The integral part counts days whatever the sign: floor, not truncation,
// so that a negative value (before 1899-12-30) keeps its time positive.
DateParts DecodeDate(TDateTime value) {
  return CivilFromDays(static_cast<std::int64_t>(std::floor(value)) - kEpochOffset);
}

TimeParts DecodeTime(TDateTime value) {
  const double fraction = value - std::floor(value);
  auto ms = static_cast<std::int64_t>(std::llround(fraction * kMillisecondsPerDay));
  // Rounding the last half millisecond of a day would give 24:00:00.000;
  // it stays the last millisecond of the same day instead.
  if (ms >= 86400000) ms = 86399999;
  return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
          static_cast<int>(ms % 1000)};
}

std::u16string FormatDateTime(std::u16string_view pattern, TDateTime value, const ShortFormats& formats) {
  const DateParts date = DecodeDate(value);
  const TimeParts time = DecodeTime(value);
  std::u16string out;
  std::size_t i = 0;
  // Pattern letters are case-insensitive; a run of one letter is one field.
  auto run = [&](char16_t letter) {
    std::size_t n = 0;
    while (i + n < pattern.size() && UpperAscii(pattern[i + n]) == letter) ++n;
    return n;
  };
  while (i < pattern.size()) {
    const char16_t c = pattern[i];
    const char16_t upper = UpperAscii(c);
    if (c == u'"' || c == u'\'') {
      const std::size_t close = pattern.find(c, i + 1);
      const std::size_t end = close == std::u16string_view::npos ? pattern.size() : close;
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end == pattern.size() ? end : end + 1;
      continue;
    }
    std::size_t n = 0;
    switch (upper) {
      case u'Y':
        n = run(u'Y');
        // "y" and "yy" both give two digits, three or more give four.
        out += n <= 2 ? Padded(date.year % 100, 2) : Padded(date.year, 4);
        break;
      case u'M':
        n = std::min<std::size_t>(run(u'M'), 2);
        out += Padded(date.month, n);
        break;
      case u'D':
        n = run(u'D');
        // "ddddd" is the locale's short date. Day names are not supported: a
        // longer run is taken two letters at a time ("dddd" prints the day twice).
        if (n >= 5) {
          n = 5;
          out += FormatDateTime(formats.date, value, formats);
        } else {
          n = std::min<std::size_t>(n, 2);
          out += Padded(date.day, n);
        }
        break;
      case u'H':
        n = std::min<std::size_t>(run(u'H'), 2);
        out += Padded(time.hour, n);
        break;
      case u'N':
        n = std::min<std::size_t>(run(u'N'), 2);
        out += Padded(time.minute, n);
        break;
      case u'S':
        n = std::min<std::size_t>(run(u'S'), 2);
        out += Padded(time.second, n);
        break;
      case u'Z':
        n = run(u'Z');
        // "z" and "zz" give the milliseconds without padding, "zzz" three digits.
        out += Padded(time.millisecond, n >= 3 ? 3 : 1);
        break;
      case u'T':
        n = 1;
        out += FormatDateTime(formats.time, value, formats);
        break;
      default:
        n = 1;
        out.push_back(c);
        break;
    }
    i += n;
  }
  return out;
}

}  // namespace quillet
