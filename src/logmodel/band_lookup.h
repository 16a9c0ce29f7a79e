// Lookups in the band table: the band of a frequency, the lower edge of a
// band, as the record step fills one from the other.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// The lower edge of the named band as "#0.00000" text; "" for no such band.
std::u16string BandToFrequency(std::u16string_view band);

// The band that holds the frequency (MHz, "." as decimal mark); "" for none.
// The text, blanks around it aside, is split at its first "." and joined
// again with "." (a text without "." gets ".0"); the joined text must be a
// decimal number as ParseDecimal reads it (optional sign, digits with at
// most one ".", no exponent). Otherwise raises EConvertError
// "'%s' is not a valid floating point value" naming the joined text.
std::u16string FrequencyToBand(std::u16string_view frequency);

}  // namespace quillet
