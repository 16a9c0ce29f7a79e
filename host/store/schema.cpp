#include "host/store/schema.h"

#include <string_view>

namespace quillet::host {
namespace {

constexpr std::string_view kText = "TEXT COLLATE NOCASE";
constexpr std::string_view kDateTime = "TEXT";
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

}  // namespace

std::string SchemaSql() {
  std::string sql = "CREATE TABLE IF NOT EXISTS LOGS (\n  ID INTEGER PRIMARY KEY";
  for (const Column& column : kLogColumns) {
    sql.append(",\n  ").append(column.name).append(" ").append(column.type);
  }
  sql.append(");");
  sql.append(kDictionaries);
  return sql;
}

}  // namespace quillet::host
