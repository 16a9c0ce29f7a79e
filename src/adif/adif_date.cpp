#include "adif/adif_date.h"

#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A decimal integer with optional leading blanks and sign.
int DatePart(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
  if (i == text.size()) throw EConvertError(FormatText(kInvalidInteger, {text}));
  int value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) throw EConvertError(FormatText(kInvalidInteger, {text}));
    value = value * 10 + (text[i] - u'0');
  }
  return negative ? -value : value;
}

// What of count units from first the value holds; empty past its end.
std::u16string_view Part(std::u16string_view value, std::size_t first, std::size_t count) {
  return first < value.size() ? value.substr(first, count) : std::u16string_view();
}

}  // namespace

DateParts AdifDateParts(std::u16string_view value) {
  const DateParts parts{DatePart(Part(value, 0, 4)), DatePart(Part(value, 4, 2)),
                        DatePart(Part(value, 6, 2))};
  EncodeDate(parts.year, parts.month, parts.day);
  return parts;
}

TDateTime AdifDateValue(std::u16string_view value) {
  const DateParts parts = AdifDateParts(value);
  return EncodeDate(parts.year, parts.month, parts.day);
}

}  // namespace quillet
