// A whole ADIF text split at once into its header lines and record
// strings, through the same reader the import run uses a record at a time:
// what tests compare a run against.
#pragma once

#include <string>
#include <vector>

namespace quillet {

struct TAdifData {
  std::vector<std::u16string> Header;
  std::vector<std::u16string> Records;
};

// Appends the header lines and the record strings of lines to data.
// False only when there are no lines at all.
bool ParseAdifText(TAdifData& data, const std::vector<std::u16string>& lines);
// The same, consuming lines.
bool ParseAdifText(TAdifData& data, std::vector<std::u16string>&& lines);

// The header lines as one text, each followed by CR LF.
std::u16string HeaderText(const TAdifData& data);

}  // namespace quillet
