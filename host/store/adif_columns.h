// Which ADIF field each column of LOGS is read from, and so written back to
// when a log is exported. The module holds the same pairs in its own log
// table description; the host keeps its own copy, as a third-party host
// would, and the export's round-trip test holds the two together.
#pragma once

#include <span>
#include <string_view>

namespace quillet::host {

// How a stored value is written as ADIF.
enum class AdifForm {
  Text,      // as stored
  Number,    // as stored (the frequency in MHz)
  Boolean,   // 1 or 0 stored, Y or N written
  Date,      // 'YYYY-MM-DD ...' stored, YYYYMMDD written
  TimeOfDay  // 'HH:MM' or 'HH:MM:SS' stored, HHMM or HHMMSS written
};

struct AdifColumn {
  std::string_view column;
  std::string_view field;
  AdifForm form;
};

// Every LOGS column that an ADIF field fills, in the table's order. QSODATE
// appears as QSO_DATE only: its time of day is the column QSOTIME's, written
// as TIME_ON, which the module reads for both.
std::span<const AdifColumn> AdifColumns();

}  // namespace quillet::host
