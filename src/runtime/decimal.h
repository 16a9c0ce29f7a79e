// The one decimal conversion of the module. Band limits and the frequencies
// read from ADIF go through it, so a frequency written exactly as a band
// limit compares equal to that limit. "." is always the decimal mark; the
// conversion never consults the C locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The value of a decimal number: optional blanks (U+0020), an optional "+"
// or "-", digits with at most one "." and at least one digit, optional
// blanks. No exponent, no thousands separators. Empty when text is not such
// a number. Correctly rounded to long double for up to 19 significant digits.
std::optional<long double> ParseDecimal(std::u16string_view text);

// value rounded to decimals places, as "#0.000..." with "." as the mark:
// at least one integer digit, exactly decimals fraction digits, no grouping.
std::u16string FormatDecimal(long double value, int decimals);

}  // namespace quillet
