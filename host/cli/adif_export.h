// The QSOs of a log written as an ADIF 3.1.4 file: a header naming quillet
// and the time of the export, then one record per QSO, in the order of
// their date and time, with a field for every column that has an ADIF field
// and a value. The text is UTF-8 without a byte-order mark, and field
// lengths count bytes.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace quillet::host {

class Database;

struct ExportSelection {
  std::string log;
  std::string since, until;  // yyyy-mm-dd, both included; empty: no bound
  // The log's operator, written as every record's STATION_CALLSIGN: the
  // import took the records whose OPERATOR is empty by it.
  std::string stationCall;
};

// Writes the header and the selected QSOs; returns how many it wrote.
std::int64_t WriteAdifExport(Database& db, const ExportSelection& selection, std::ostream& out);

// <NAME:length>value, the length in bytes.
std::string AdifField(std::string_view name, std::string_view value);

}  // namespace quillet::host
