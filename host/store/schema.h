// The host database's tables, in one place.
//
//  * LOGS: the QSOs of every log, one column for each column the module
//    writes (under the module's names), ID as the row id, text compared
//    without regard to case, and an index on the QSO key.
//  * COUNTRY, PROVINCE, UNIQUECALL: the reference dictionaries, a callsign
//    pattern with its attributes and validity dates each.
//  * LOGBOOK: the logs (name, operator, closing date) behind the settings
//    LOG.TABLE, LOG.OPERATOR and LOG.EXPIRE.
//  * JOURNAL: the host's journal, one timestamped line per row.
//  * HISTORY, HISTORY_ROWS: the imports into each log and what each
//    changed, so that the last one can be undone.
//
// Date-times are stored as text 'YYYY-MM-DD HH:MM:SS' (dates alone as
// 'YYYY-MM-DD 00:00:00'), the form the dialect translation writes.
#pragma once

#include <string>
#include <string_view>

namespace quillet::host {

// The statements creating every table and index that is missing.
std::string SchemaSql();
// Every LOGS column but ID, each after prefix, separated by ", ".
std::string LogColumnList(std::string_view prefix);

}  // namespace quillet::host
