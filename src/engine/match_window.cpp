#include "engine/match_window.h"

#include <cmath>
#include <cstdint>

#include "runtime/date_time.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using namespace std::string_view_literals;

constexpr std::int64_t kMinutesPerDay = 24 * 60;

// The value of count digits from first, or -1 when one is not a digit.
int Digits(std::u16string_view text, std::size_t first, std::size_t count) {
  int value = 0;
  for (std::size_t i = first; i < first + count; ++i) {
    if (text[i] < u'0' || text[i] > u'9') return -1;
    value = value * 10 + (text[i] - u'0');
  }
  return value;
}

void AppendDigits(std::u16string& out, std::int64_t value, int width) {
  std::u16string digits = IntToText(value);
  if (digits.size() < static_cast<std::size_t>(width)) out.append(width - digits.size(), u'0');
  out += digits;
}

// Minutes since 1899-12-30 of "#YYYY-MM-DD HH:MM#"; false for another form.
// Whole minutes keep the bounds exact, where day fractions would round.
bool LiteralMinutes(std::u16string_view literal, std::int64_t& minutes) {
  if (literal.size() != 18 || literal[0] != u'#' || literal[5] != u'-' || literal[8] != u'-' ||
      literal[11] != u' ' || literal[14] != u':' || literal[17] != u'#') {
    return false;
  }
  const int year = Digits(literal, 1, 4), month = Digits(literal, 6, 2), day = Digits(literal, 9, 2);
  const int hour = Digits(literal, 12, 2), minute = Digits(literal, 15, 2);
  TDateTime date = 0;
  if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || !TryEncodeDate(year, month, day, date)) {
    return false;
  }
  minutes = static_cast<std::int64_t>(std::llround(date)) * kMinutesPerDay + hour * 60 + minute;
  return true;
}

void AppendLiteral(std::u16string& out, std::int64_t minutes) {
  const std::int64_t days = minutes >= 0 ? minutes / kMinutesPerDay : -((-minutes - 1) / kMinutesPerDay) - 1;
  const std::int64_t ofDay = minutes - days * kMinutesPerDay;
  const DateParts date = DecodeDate(static_cast<TDateTime>(days));
  out += u'#';
  AppendDigits(out, date.year, 4);
  out += u'-';
  AppendDigits(out, date.month, 2);
  out += u'-';
  AppendDigits(out, date.day, 2);
  out += u' ';
  AppendDigits(out, ofDay / 60, 2);
  out += u':';
  AppendDigits(out, ofDay % 60, 2);
  out += u'#';
}

}  // namespace

std::size_t MatchWindowIndex(int minutes) {
  for (std::size_t i = 0; i < kMatchWindows.size(); ++i) {
    if (kMatchWindows[i] == minutes) return i;
  }
  return 0;
}

std::u16string MinutesText(int minutes) {
  return IntToText(minutes) + (minutes == 1 ? u" minute" : u" minutes");
}

std::u16string WindowRange(std::u16string_view column, std::u16string_view dateTime, int minutes) {
  std::int64_t at = 0;
  if (!LiteralMinutes(dateTime, at)) return {};
  std::u16string range(column);
  range += u">="sv;
  AppendLiteral(range, at - minutes);
  range.append(u" AND "sv).append(column).append(u"<="sv);
  AppendLiteral(range, at + minutes);
  return range;
}

}  // namespace quillet
