#include "host/cli/adif_export.h"

#include <ostream>

#include "host/os/timestamp.h"
#include "host/services/host_kernel.h"
#include "host/store/adif_columns.h"
#include "host/store/database.h"

namespace quillet::host {
namespace {

std::string SelectSql() {
  std::string sql = "SELECT ";
  bool first = true;
  for (const AdifColumn& column : AdifColumns()) {
    if (!first) sql += ", ";
    sql += column.column;
    first = false;
  }
  // QSODATE holds a time too: the last day counts whole, so the bound on it
  // compares the day alone. ID breaks ties, so an export is the same twice.
  sql +=
      " FROM LOGS WHERE LOGNAME = ?1 AND (?2 = '' OR QSODATE >= ?2)"
      " AND (?3 = '' OR substr(QSODATE, 1, 10) <= ?3) ORDER BY QSODATE, ID";
  return sql;
}

// 'YYYY-MM-DD' and 'HH:MM:SS' as ADIF writes them, digits only; keep bounds
// the stored text to the part the field carries.
std::string WithoutPunctuation(std::string_view stored, std::size_t keep) {
  std::string digits;
  for (char c : stored.substr(0, keep)) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

// The ADIF text of a stored value; empty when the record leaves it out.
std::string AdifValue(const AdifColumn& column, const std::string& stored) {
  switch (column.form) {
    case AdifForm::Text:
    case AdifForm::Number:
      return stored;
    case AdifForm::Boolean:
      // The host stores any true flag as non-zero.
      return stored.empty() ? std::string() : stored == "0" ? "N" : "Y";
    case AdifForm::Date:
      return WithoutPunctuation(stored, 10);
    case AdifForm::TimeOfDay:
      return WithoutPunctuation(stored, 8);
  }
  return stored;
}

void WriteHeader(const ExportSelection& selection, std::ostream& out) {
  out << "Log " << selection.log << " exported by quillet\n"
      << AdifField("ADIF_VER", "3.1.4") << '\n'
      << AdifField("PROGRAMID", "quillet") << '\n'
      << AdifField("PROGRAMVERSION", HostVersionText()) << '\n'
      << AdifField("CREATED_TIMESTAMP", UtcTimestamp("%Y%m%d %H%M%S")) << '\n'
      << "<EOH>\n";
}

}  // namespace

std::string AdifField(std::string_view name, std::string_view value) {
  std::string field = "<";
  field.append(name).append(":").append(std::to_string(value.size())).append(">").append(value);
  return field;
}

std::int64_t WriteAdifExport(Database& db, const ExportSelection& selection, std::ostream& out) {
  WriteHeader(selection, out);
  // The fields of a record follow each other with nothing between them: a
  // reader that counts a length in characters rather than bytes then finds
  // the next tag only where the byte count ends.
  Statement select = db.Prepare(SelectSql());
  select.Bind(1, selection.log);
  select.Bind(2, selection.since);
  select.Bind(3, selection.until);
  std::int64_t records = 0;
  const auto columns = AdifColumns();
  while (select.Step()) {
    std::string record;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const int index = static_cast<int>(i);
      if (select.IsNull(index)) continue;
      const std::string value = AdifValue(columns[i], select.Text(index));
      if (value.empty()) continue;
      record += AdifField(columns[i].field, value);
    }
    // The log's operator as the station: a re-import into a new log then
    // finds whose log it is, and a record without OPERATOR is still taken.
    if (!selection.stationCall.empty()) record += AdifField("STATION_CALLSIGN", selection.stationCall);
    out << record << "<EOR>\n";
    ++records;
  }
  return records;
}

}  // namespace quillet::host
