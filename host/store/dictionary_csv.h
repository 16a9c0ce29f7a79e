// CSV text as operators write it for their own dictionary rows: fields
// separated by commas, a field in double quotes may hold commas, line breaks
// and doubled quotes. A field left empty without quotes is absent (NULL in
// the database); "" is the empty text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::host {

using CsvField = std::optional<std::string>;
using CsvRecord = std::vector<CsvField>;

// Records in order; blank lines are skipped, a byte-order mark is dropped.
// An unclosed quote raises HostError.
std::vector<CsvRecord> ParseCsv(std::string_view text);

}  // namespace quillet::host
