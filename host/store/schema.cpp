#include "host/store/schema.h"

#include <string_view>

namespace quillet::host {
namespace {

// Text compares without regard to case, as in the host's own database: the
// module's conditions are written for that.
constexpr std::string_view kText = "TEXT COLLATE NOCASE";
// 'YYYY-MM-DD HH:MM:SS' (the dialect's translation of a date), which sorts
// and compares as the dates it holds.
constexpr std::string_view kDateTime = "TEXT";
// A flag the module's INSERT leaves out reads false, never NULL.
constexpr std::string_view kFlag = "INTEGER NOT NULL DEFAULT 0";

struct Column {
  std::string_view name;
  std::string_view type;
};

// Every column of the module's log table description that has a column of
// its own, in its order.
constexpr Column kLogColumns[] = {
    {"OMCALL", kText},
    {"QSODATE", kDateTime},
    {"QSOBAND", kText},
    {"QSOMODE", kText},
    {"QSORSTRCVD", kText},
    {"QSORSTSEND", kText},
    {"OMNAME", kText},
    {"OMQTH", kText},
    {"CONTINENT", kText},
    {"DXCCPFX", kText},
    {"MAINPFX", kText},
    {"QSOFREQ", "NUMERIC"},
    {"ITUZONE", kText},
    {"CQZONE", kText},
    {"GRIDSQUARE", kText},
    {"QSLMANAGER", kText},
    {"IOTA", kText},
    {"STATE", kText},
    {"EQSLSENT", kFlag},
    {"EQSLRCVD", kFlag},
    {"LOTWSENT", kFlag},
    {"LOTWRCVD", kFlag},
    {"QSLSENT", kFlag},
    {"QSLRECV", kFlag},
    {"QSLSTAT", kText},
    {"LOTWRCVDDATE", kDateTime},
    {"QSLSENTDATE", kDateTime},
    {"QSLRECVDATE", kDateTime},
    {"CALLSIGN", kText},
    {"WPX", kText},
    {"DXCC", kText},
    {"QSLINFO", kText},
    {"LOGNAME", kText},
    {"QSOTIME", kText},
};

// The dictionaries' numbers have the types the module's loaders read them
// in (integer or text), and their validity dates are NULL when open. The
// index on LOGS covers the QSO key, which the existence query of every
// record tests.
constexpr std::string_view kDictionaries = R"sql(
CREATE TABLE IF NOT EXISTS UNIQUECALL (
  ID INTEGER PRIMARY KEY, Callsign TEXT, Continent TEXT, ARRLPrefix TEXT, Prefix TEXT,
  DXCC INTEGER, ITUZone INTEGER, CQZone INTEGER, StartDate TEXT, EndDate TEXT);
CREATE TABLE IF NOT EXISTS PROVINCE (
  ID INTEGER PRIMARY KEY, PrefixList TEXT, Continent TEXT, ARRLPrefix TEXT, Prefix TEXT,
  DXCC INTEGER, ITUZone TEXT, CQZone TEXT, StartDate TEXT, EndDate TEXT);
CREATE TABLE IF NOT EXISTS COUNTRY (
  ID INTEGER PRIMARY KEY, PrefixList TEXT, Continent TEXT, ARRLPrefix TEXT,
  DXCC TEXT, ITUZone TEXT, CQZone TEXT, StartDate TEXT, EndDate TEXT);
CREATE TABLE IF NOT EXISTS LOGBOOK (
  NAME TEXT COLLATE NOCASE PRIMARY KEY, OPERATOR TEXT NOT NULL, CLOSING TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS JOURNAL (
  ID INTEGER PRIMARY KEY, STAMP TEXT NOT NULL, LINE TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS LOGS_QSO ON LOGS (LOGNAME, OMCALL, QSODATE, QSOBAND, QSOMODE, CALLSIGN);
)sql";

// The import history: one entry per import or undo (KEPT_ROWS 0 for an
// import run without undo data), and for each the rows it changed. A row it
// inserted is kept in HISTORY_INSERTED by its ID alone, as most rows of an
// import are new ones and a thin row is a fraction of a log row's bytes; any
// other row it changed (ROW_INSERTED 0) or deleted (2) has every LOGS
// column's value from before in HISTORY_ROWS (NULL allowed). ROW_INSERTED 1
// marks the inserted rows of databases written before the thin table
// existed.
std::string HistorySql() {
  std::string sql =
      "CREATE TABLE IF NOT EXISTS HISTORY (\n  ID INTEGER PRIMARY KEY, LOGNAME TEXT COLLATE NOCASE NOT NULL, "
      "STAMP TEXT NOT NULL, FILE TEXT NOT NULL, MODE INTEGER, INSERTED INTEGER, UPDATED INTEGER, "
      "IGNORED INTEGER, ERRORS INTEGER, UNDOES INTEGER, UNDONE_BY INTEGER, KEPT_ROWS INTEGER NOT NULL "
      "DEFAULT 1);\n"
      "CREATE TABLE IF NOT EXISTS HISTORY_INSERTED (\n  HISTORY_ID INTEGER NOT NULL, ROW_ID INTEGER NOT "
      "NULL, "
      "PRIMARY KEY (HISTORY_ID, ROW_ID)) WITHOUT ROWID;\n"
      "CREATE TABLE IF NOT EXISTS HISTORY_ROWS (\n  HISTORY_ID INTEGER NOT NULL, ROW_ID INTEGER NOT NULL, "
      "ROW_INSERTED INTEGER NOT NULL";
  for (const Column& column : kLogColumns) sql.append(", ").append(column.name);
  sql.append(", PRIMARY KEY (HISTORY_ID, ROW_ID)) WITHOUT ROWID;\n");
  return sql;
}

}  // namespace

std::string SchemaSql() {
  std::string sql = "CREATE TABLE IF NOT EXISTS LOGS (\n  ID INTEGER PRIMARY KEY";
  for (const Column& column : kLogColumns) {
    sql.append(",\n  ").append(column.name).append(" ").append(column.type);
  }
  sql.append(");");
  sql.append(kDictionaries);
  sql.append(HistorySql());
  return sql;
}

std::string LogColumnList(std::string_view prefix) {
  std::string list;
  for (const Column& column : kLogColumns) {
    if (!list.empty()) list += ", ";
    list.append(prefix).append(column.name);
  }
  return list;
}

}  // namespace quillet::host
