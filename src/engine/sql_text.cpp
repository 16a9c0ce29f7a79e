#include "engine/sql_text.h"

#include "runtime/text.h"

namespace quillet {

std::u16string QuoteSqlString(std::u16string_view value) {
  std::u16string literal;
  literal.reserve(value.size() + 2);
  AppendQuotedSqlString(literal, value);
  return literal;
}

void AppendQuotedSqlString(std::u16string& out, std::u16string_view value) {
  out += u'\'';
  for (char16_t c : value) {
    if (c == u'\'') out += u'\'';
    out += c;
  }
  out += u'\'';
}

bool IsPlainDecimal(std::u16string_view text) {
  text = TrimSpaces(text);
  bool seenMark = false;
  bool seenDigit = false;
  for (char16_t c : text) {
    if (c == u'.' && !seenMark) {
      seenMark = true;
    } else if (c >= u'0' && c <= u'9') {
      seenDigit = true;
    } else {
      return false;
    }
  }
  return seenDigit;
}

}  // namespace quillet
