#include "frame/str_to_date_time.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// The numbers of text split at separator; nullopt when a piece is not 1 to
// maxDigits decimal digits.
std::optional<std::vector<int>> Numbers(std::u16string_view text, char16_t separator, std::size_t maxDigits) {
  std::vector<int> numbers;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(text.find(separator, start), text.size());
    const std::u16string_view piece = text.substr(start, end - start);
    if (piece.empty() || piece.size() > maxDigits) return std::nullopt;
    int value = 0;
    for (const char16_t c : piece) {
      if (c < u'0' || c > u'9') return std::nullopt;
      value = value * 10 + (c - u'0');
    }
    numbers.push_back(value);
    if (end == text.size()) return numbers;
    start = end + 1;
  }
}

// The first character of pattern that is no pattern letter.
char16_t SeparatorOf(std::u16string_view pattern, char16_t fallback) {
  for (const char16_t c : pattern) {
    if (UpperAscii(c) < u'A' || UpperAscii(c) > u'Z') return c;
  }
  return fallback;
}

// Which position holds year, month and day, in the order the date pattern
// names them.
struct DateOrder {
  int year = 0;
  int month = 1;
  int day = 2;
};

DateOrder OrderOf(std::u16string_view pattern) {
  DateOrder order;
  int next = 0;
  char16_t previous = 0;
  for (const char16_t c : pattern) {
    const char16_t letter = UpperAscii(c);
    if (letter != previous && next < 3) {
      if (letter == u'Y') order.year = next++;
      if (letter == u'M') order.month = next++;
      if (letter == u'D') order.day = next++;
    }
    previous = letter;
  }
  return order;
}

bool TryDate(std::u16string_view text, std::u16string_view pattern, TDateTime& result) {
  const auto numbers = Numbers(text, SeparatorOf(pattern, u'-'), 4);
  if (!numbers || numbers->size() != 3) return false;
  const DateOrder order = OrderOf(pattern);
  const int year = (*numbers)[order.year];
  if (year < 1000) return false;  // four-digit years only: no century guessing
  return TryEncodeDate(year, (*numbers)[order.month], (*numbers)[order.day], result);
}

bool TryTime(std::u16string_view text, std::u16string_view pattern, TDateTime& result) {
  const auto numbers = Numbers(text, SeparatorOf(pattern, u':'), 2);
  if (!numbers || numbers->size() < 2 || numbers->size() > 3) return false;
  const int second = numbers->size() == 3 ? (*numbers)[2] : 0;
  return TryEncodeTime((*numbers)[0], (*numbers)[1], second, 0, result);
}

}  // namespace

bool TryStrToDateTime(std::u16string_view text, const ShortFormats& formats, TDateTime& result) {
  const std::u16string trimmed = Trim(text);
  const std::u16string_view view = trimmed;
  const std::size_t blank = view.find(u' ');
  TDateTime date = 0;
  if (!TryDate(view.substr(0, blank), formats.date, date)) return false;
  TDateTime time = 0;
  if (blank != std::u16string_view::npos && !TryTime(Trim(view.substr(blank + 1)), formats.time, time))
    return false;
  result = date < 0 ? date - time : date + time;
  return true;
}

TDateTime StrToDateTime(std::u16string_view text, const ShortFormats& formats) {
  TDateTime result = 0;
  if (!TryStrToDateTime(text, formats, result)) throw EConvertError(FormatText(kInvalidDateTime, {text}));
  return result;
}

}  // namespace quillet
