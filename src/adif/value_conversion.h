// Conversions of ADIF values into the forms the SQL statements and the
// band and frequency completion need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// A standard SQL string literal: apostrophes around the value, every
// apostrophe inside it doubled, nothing else changed.
std::u16string QuoteSqlString(std::u16string_view value);
// The same literal appended to out, for statements built in one buffer.
void AppendQuotedSqlString(std::u16string& out, std::u16string_view value);

// 1-based position of the first occurrence of sub in text; 0 when absent
// or when sub is empty.
std::int32_t TextPos(std::u16string_view sub, std::u16string_view text);

// The lower edge of the named band as "#0.00000" text; "" for no such band.
std::u16string BandToFrequency(std::u16string_view band);

// The band that holds the frequency (MHz, "." as decimal mark); "" for none.
// The text, blanks around it aside, is split at its first "." and joined
// again with "." (a text without "." gets ".0"); the joined text must be a
// decimal number as ParseDecimal reads it (optional sign, digits with at
// most one ".", no exponent). Otherwise raises EConvertError
// "'%s' is not a valid floating point value" naming the joined text.
std::u16string FrequencyToBand(std::u16string_view frequency);

// Digits with at most one "." and at least one digit, with optional blanks
// (U+0020) around them: no sign, no exponent. Such a text can stand in an
// SQL statement as a number without quotes.
bool IsPlainDecimal(std::u16string_view text);

}  // namespace quillet
