// Pieces of the SQL text the planner writes: string literals and the
// numbers that may stand in a statement unquoted.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// A standard SQL string literal: apostrophes around the value, every
// apostrophe inside it doubled, nothing else changed.
std::u16string QuoteSqlString(std::u16string_view value);
// The same literal appended to out, for statements built in one buffer.
void AppendQuotedSqlString(std::u16string& out, std::u16string_view value);

// Digits with at most one "." and at least one digit, with optional blanks
// (U+0020) around them: no sign, no exponent. Such a text can stand in an
// SQL statement as a number without quotes.
bool IsPlainDecimal(std::u16string_view text);

}  // namespace quillet
