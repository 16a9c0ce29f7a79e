// The ADIF reader: splits ADIF text into header lines and record strings
// and reads single field values from a text by field name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// How the lengths of a text's data specifiers are read. Programs that write
// UTF-8 count some lengths in bytes and others in characters, and a file
// does not say which; a text decoded from any other encoding counts UTF-16
// units.
enum class AdifLengths {
  Utf16Units,
  // Decoded from UTF-8: a value with characters outside ASCII is also read
  // as the characters whose UTF-8 encoding takes the length in bytes, and
  // the reading that ends at a tag boundary is kept (the character reading
  // when both or neither do).
  Utf8BytesOrUnits,
};

struct TAdifData {
  std::vector<std::u16string> Header;
  std::vector<std::u16string> Records;
};

// Appends the header lines and the record strings of lines to data.
// False only when there are no lines at all.
bool ParseAdifText(TAdifData& data, const std::vector<std::u16string>& lines);
// The same, consuming lines: each is released once it has been read.
bool ParseAdifText(TAdifData& data, std::vector<std::u16string>&& lines);

// The value of the first data specifier for name in text, cut to maxLen
// characters (never between the two halves of a surrogate pair); empty
// when there is none. Raises EConvertError for a length that does not fit
// a 32-bit signed integer.
std::u16string GetAdifField(std::u16string_view name, std::int32_t maxLen, std::u16string_view text,
                            AdifLengths lengths = AdifLengths::Utf16Units);

// The header lines as one text, each followed by CR LF.
std::u16string HeaderText(const TAdifData& data);

}  // namespace quillet
