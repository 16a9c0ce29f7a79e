#include "host_dictionary/test_database.h"

#include <stdexcept>

#include <sqlite3.h>

namespace quillet::host::testing {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE UNIQUECALL (
  ID INTEGER PRIMARY KEY, Callsign TEXT, Continent TEXT, ARRLPrefix TEXT, Prefix TEXT,
  DXCC INTEGER, ITUZone INTEGER, CQZone INTEGER, StartDate TEXT, EndDate TEXT);
CREATE TABLE PROVINCE (
  ID INTEGER PRIMARY KEY, PrefixList TEXT, Continent TEXT, ARRLPrefix TEXT, Prefix TEXT,
  DXCC INTEGER, ITUZone TEXT, CQZone TEXT, StartDate TEXT, EndDate TEXT);
CREATE TABLE COUNTRY (
  ID INTEGER PRIMARY KEY, PrefixList TEXT, Continent TEXT, ARRLPrefix TEXT,
  DXCC TEXT, ITUZone TEXT, CQZone TEXT, StartDate TEXT, EndDate TEXT);
)sql";

}  // namespace

TestDatabase::TestDatabase() {
  if (sqlite3_open(":memory:", &db_) != SQLITE_OK)
    throw std::runtime_error("cannot open an in-memory database");
  Exec(kSchema);
}

TestDatabase::~TestDatabase() { sqlite3_close(db_); }

void TestDatabase::Exec(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    throw std::runtime_error(sqlite3_errmsg(db_));
}

std::string TestDatabase::Text(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    throw std::runtime_error(sqlite3_errmsg(db_));
  std::string text;
  if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0) != nullptr) {
    text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  }
  sqlite3_finalize(stmt);
  return text;
}

}  // namespace quillet::host::testing
