#include "engine/sql_rendering.h"

#include "adif/adif_date.h"
#include "engine/record_fields.h"
#include "engine/sql_text.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using namespace std::string_view_literals;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// What of count units from first the value holds; empty past its end.
std::u16string_view Part(std::u16string_view value, std::size_t first, std::size_t count) {
  return first < value.size() ? value.substr(first, count) : std::u16string_view();
}

void AppendDigits(std::u16string& out, int value, int width) {
  char16_t digits[4];
  for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char16_t>(u'0' + value % 10);
  out.append(digits, static_cast<std::size_t>(width));
}

void AppendSqlDate(std::u16string& out, std::u16string_view value) {
  const DateParts parts = AdifDateParts(value);
  AppendDigits(out, parts.year, 4);
  out += u'-';
  AppendDigits(out, parts.month, 2);
  out += u'-';
  AppendDigits(out, parts.day, 2);
}

bool IsTwoDigits(std::u16string_view text) {
  return text.size() == 2 && IsDigit(text[0]) && IsDigit(text[1]);
}

int TwoDigitValue(std::u16string_view text) { return (text[0] - u'0') * 10 + (text[1] - u'0'); }

// Hours, minutes and seconds, each two digits where it is given (seconds
// may be missing), that no clock shows: the host would refuse the literal.
bool IsImpossibleTime(std::u16string_view hours, std::u16string_view minutes, std::u16string_view seconds) {
  if (IsTwoDigits(hours) && TwoDigitValue(hours) > 23) return true;
  if (IsTwoDigits(minutes) && TwoDigitValue(minutes) > 59) return true;
  return IsTwoDigits(seconds) && TwoDigitValue(seconds) > 59;
}

[[noreturn]] void RaiseInvalidTime(std::u16string_view time) {
  throw EConvertError(FormatText(kInvalidTime, {time}));
}

// HH:MM of a linked time HHMM or HHMMSS; "00:00" when the record has none.
void AppendLinkedTime(std::u16string& out, std::u16string_view time) {
  if (time.empty()) {
    out += u"00:00"sv;
    return;
  }
  if (time.size() < 4 || !IsTwoDigits(time.substr(0, 2)) || !IsTwoDigits(time.substr(2, 2)) ||
      IsImpossibleTime(time.substr(0, 2), time.substr(2, 2), Part(time, 4, 2))) {
    RaiseInvalidTime(time);
  }
  out.append(time.substr(0, 2)).append(u":"sv).append(time.substr(2, 2));
}

// A time of day written with colons, HH:MM or HH:MM:SS.
bool IsImpossibleColonTime(std::u16string_view value) {
  const std::size_t first = value.find(u':');
  const std::size_t second = value.find(u':', first + 1);
  const std::u16string_view minutes = value.substr(first + 1, second - first - 1);
  const std::u16string_view seconds = second == std::u16string_view::npos ? u""sv : value.substr(second + 1);
  return IsImpossibleTime(value.substr(0, first), minutes, seconds);
}

void AppendDateTime(std::u16string& out, const TLogField& field, const RecordFields& fields) {
  out += u'#';
  AppendSqlDate(out, field.Value);
  if (!field.LinkedADIFName.empty()) {
    out += u' ';
    AppendLinkedTime(out, fields.Get(field.LinkedADIFName, 6));
  }
  out += u'#';
}

// Numbers go into the statement unquoted, so only plain decimals pass.
void AppendNumber(std::u16string& out, std::u16string_view value) {
  if (!IsPlainDecimal(value)) throw EConvertError(FormatText(kInvalidFloat, {value}));
  out += value;
}

bool AppendTimeOfDay(std::u16string& out, std::u16string_view value) {
  if (value.size() < 4) {
    out += u"NULL"sv;
    return true;
  }
  if (value.find(u':') != std::u16string_view::npos) {
    if (IsImpossibleColonTime(value)) RaiseInvalidTime(value);
    out += QuoteSqlString(value);
    return true;
  }
  if (value.size() != 4 && value.size() != 6) return false;
  if (IsImpossibleTime(Part(value, 0, 2), Part(value, 2, 2), Part(value, 4, 2))) RaiseInvalidTime(value);
  std::u16string text(value.substr(0, 2));
  text.append(u":"sv).append(value.substr(2, 2));
  if (value.size() == 6) text.append(u":"sv).append(value.substr(4, 2));
  out += QuoteSqlString(text);
  return true;
}

// An empty value of the kinds below is NULL.
bool AppendNull(std::u16string& out, std::u16string_view value) {
  if (!value.empty()) return false;
  out += u"NULL"sv;
  return true;
}

void AppendSqlDateLiteral(std::u16string& out, std::u16string_view value) {
  out += u'#';
  AppendSqlDate(out, value);
  out += u'#';
}

bool AppendFlag(std::u16string& out, std::u16string_view value) {
  if (value != u"Y"sv && value != u"N"sv) return false;
  out += QuoteSqlString(value);
  return true;
}

}  // namespace

bool AppendLiteral(std::u16string& out, const TLogField& field, const RecordFields& fields) {
  const std::u16string& value = field.Value;
  switch (field.Kind) {
    case ValueKind::Boolean:
      out += value == u"Y"sv ? u"TRUE"sv : u"FALSE"sv;
      return true;
    case ValueKind::Flag:
      return !value.empty() && AppendFlag(out, value);
    case ValueKind::Time:
      return AppendTimeOfDay(out, value);
    case ValueKind::Counter:  // counters and plain values go in unquoted, so they pass as numbers only
    case ValueKind::Integer:
    case ValueKind::Decimal:
      if (!AppendNull(out, value)) AppendNumber(out, value);
      return true;
    case ValueKind::Date:
      if (!AppendNull(out, value)) AppendSqlDateLiteral(out, value);
      return true;
    case ValueKind::DateTime:
      if (!AppendNull(out, value)) AppendDateTime(out, field, fields);
      return true;
    case ValueKind::Text:
      if (!AppendNull(out, value)) out += QuoteSqlString(value);
      return true;
  }
  return false;  // a kind the host's table does not describe gets no assignment
}

}  // namespace quillet
