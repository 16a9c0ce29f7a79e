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

// 1-based position of the first occurrence of sub in text; 0 when absent
// or when sub is empty.
std::int32_t TextPos(std::u16string_view sub, std::u16string_view text);

// The lower edge of the named band as "#0.00000" text; "" for no such band.
std::u16string BandToFrequency(std::u16string_view band);

// The band that holds the frequency (MHz, "." as decimal mark); "" for none.
// Raises EConvertError "'%s' is not a valid floating point value".
std::u16string FrequencyToBand(std::u16string_view frequency);

}  // namespace quillet
