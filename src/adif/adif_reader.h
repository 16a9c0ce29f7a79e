// The ADIF reader: splits ADIF text into header lines and record strings
// and reads single field values from a text by field name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

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
// characters; empty when there is none. Raises EConvertError for a length
// that does not fit a 32-bit signed integer.
std::u16string GetAdifField(std::u16string_view name, std::int32_t maxLen, std::u16string_view text);

// The header lines as one text, each followed by CR LF.
std::u16string HeaderText(const TAdifData& data);

}  // namespace quillet
