#include "host/dictionary/dictionary_store.h"

#include <ctime>
#include <memory>

#include <sqlite3.h>

#include "host/dictionary/dictionary_csv.h"
#include "host/dictionary/dictionary_error.h"

namespace quillet::host {
namespace {

[[noreturn]] void Fail(sqlite3* db, std::string_view what) {
  throw DictionaryError(std::string(what) + ": " + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db, sql);
}

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) Fail(db, sql);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int index, int value) { sqlite3_bind_int(stmt_, index, value); }
  void Bind(int index, const CsvField& field) {
    field ? Bind(index, *field) : static_cast<void>(sqlite3_bind_null(stmt_, index));
  }

  // True on a row; raises on failure.
  bool Step() {
    int result = sqlite3_step(stmt_);
    if (result != SQLITE_ROW && result != SQLITE_DONE) Fail(db_, sqlite3_sql(stmt_));
    return result == SQLITE_ROW;
  }
  // Runs a statement without rows and makes it ready for the next values.
  void Run() {
    Step();
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  std::string Text(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(stmt_, column))
                : std::string();
  }
  std::string IntegerText(int column) const { return std::to_string(sqlite3_column_int(stmt_, column)); }
  std::int64_t Integer(int column) const { return sqlite3_column_int64(stmt_, column); }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Rolls back unless committed.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { Exec(db_, "BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (!committed_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit() {
    Exec(db_, "COMMIT");
    committed_ = true;
  }

 private:
  sqlite3* db_;
  bool committed_ = false;
};

void WriteUniqueCalls(sqlite3* db, const std::vector<DictionaryRow>& rows) {
  Statement insert(
      db,
      "INSERT INTO UNIQUECALL (ID, Callsign, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone)"
      " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DictionaryRow& row = rows[i];
    insert.Bind(1, static_cast<int>(i + 1));
    insert.Bind(2, row.pattern);
    insert.Bind(3, row.continent);
    insert.Bind(4, row.arrlPrefix);
    insert.Bind(5, row.prefix);
    insert.Bind(6, row.dxcc);
    insert.Bind(7, row.ituZone);
    insert.Bind(8, row.cqZone);
    insert.Run();
  }
}

void WriteProvinces(sqlite3* db, const std::vector<DictionaryRow>& rows) {
  Statement insert(
      db,
      "INSERT INTO PROVINCE (ID, PrefixList, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone)"
      " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DictionaryRow& row = rows[i];
    insert.Bind(1, static_cast<int>(i + 1));
    insert.Bind(2, row.pattern);
    insert.Bind(3, row.continent);
    insert.Bind(4, row.arrlPrefix);
    insert.Bind(5, row.prefix);
    insert.Bind(6, row.dxcc);
    insert.Bind(7, std::to_string(row.ituZone));
    insert.Bind(8, std::to_string(row.cqZone));
    insert.Run();
  }
}

void WriteCountries(sqlite3* db, const std::vector<DictionaryRow>& rows) {
  Statement insert(db,
                   "INSERT INTO COUNTRY (ID, PrefixList, Continent, ARRLPrefix, DXCC, ITUZone, CQZone)"
                   " VALUES (?, ?, ?, ?, ?, ?, ?)");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DictionaryRow& row = rows[i];
    insert.Bind(1, static_cast<int>(i + 1));
    insert.Bind(2, row.pattern);
    insert.Bind(3, row.continent);
    insert.Bind(4, row.arrlPrefix);
    insert.Bind(5, std::to_string(row.dxcc));
    insert.Bind(6, std::to_string(row.ituZone));
    insert.Bind(7, std::to_string(row.cqZone));
    insert.Run();
  }
}

std::string Quoted(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::vector<std::string> ColumnsOf(sqlite3* db, DictionaryTable table) {
  Statement info(db, "PRAGMA table_info(" + std::string(TableName(table)) + ")");
  std::vector<std::string> columns;
  while (info.Step()) columns.push_back(info.Text(1));
  if (columns.empty()) throw DictionaryError("the database has no table " + std::string(TableName(table)));
  return columns;
}

// The INSERT for the CSV's header; every name must be one of the table's.
std::string InsertFor(sqlite3* db, DictionaryTable table, const CsvRecord& header) {
  std::vector<std::string> columns = ColumnsOf(db, table);
  std::string names;
  std::string values;
  for (const CsvField& name : header) {
    bool known = false;
    for (const std::string& column : columns) known = known || (name && SameName(*name, column));
    if (!known)
      throw DictionaryError(std::string(TableName(table)) + " has no column \"" + name.value_or("") + "\"");
    names += (names.empty() ? "" : ", ") + Quoted(*name);
    values += values.empty() ? "?" : ", ?";
  }
  return "INSERT INTO " + std::string(TableName(table)) + " (" + names + ") VALUES (" + values + ")";
}

std::string ValidRowsWhere(std::string_view patternColumn) {
  std::string column(patternColumn);
  return " WHERE (" + column + " IS NOT NULL AND " + column +
         " > '') AND (EndDate IS NULL OR ?1 <= EndDate) AND (StartDate IS NULL OR StartDate <= ?1) ORDER BY "
         "ID";
}

// Reads each selected row: column 0 is ID, 1 the pattern, then continent,
// ARRLPrefix, Prefix (or NULL), DXCC, ITUZone, CQZone; integerColumns marks
// those read through the integer read.
std::vector<DictionaryEntry> ReadEntries(sqlite3* db, const std::string& sql, const std::string& midnight,
                                         std::initializer_list<int> integerColumns) {
  Statement select(db, sql);
  select.Bind(1, midnight);
  std::vector<DictionaryEntry> entries;
  auto value = [&](int column) {
    for (int integer : integerColumns) {
      if (integer == column) return select.IntegerText(column);
    }
    return select.Text(column);
  };
  while (select.Step()) {
    entries.push_back(
        {select.Integer(0), select.Text(1), value(2), value(3), value(4), value(5), value(6), value(7)});
  }
  return entries;
}

}  // namespace

DictionaryCounts ReplaceDictionaries(sqlite3* db, const DictionaryRows& rows) {
  Transaction transaction(db);
  Exec(db, "DELETE FROM UNIQUECALL; DELETE FROM PROVINCE; DELETE FROM COUNTRY;");
  WriteUniqueCalls(db, rows.uniqueCalls);
  WriteProvinces(db, rows.provinces);
  WriteCountries(db, rows.countries);
  transaction.Commit();
  return {rows.uniqueCalls.size(), rows.provinces.size(), rows.countries.size()};
}

std::size_t LoadDictionaryCsv(sqlite3* db, DictionaryTable table, std::string_view csvText, bool replace) {
  std::vector<CsvRecord> records = ParseCsv(csvText);
  if (records.empty()) throw DictionaryError("the CSV file has no header line");
  Transaction transaction(db);
  if (replace) Exec(db, "DELETE FROM " + std::string(TableName(table)));
  Statement insert(db, InsertFor(db, table, records[0]));
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (records[i].size() != records[0].size()) {
      throw DictionaryError("CSV record " + std::to_string(i + 1) + " has " +
                            std::to_string(records[i].size()) + " fields, the header " +
                            std::to_string(records[0].size()));
    }
    for (std::size_t k = 0; k < records[i].size(); ++k) insert.Bind(static_cast<int>(k + 1), records[i][k]);
    insert.Run();
  }
  transaction.Commit();
  return records.size() - 1;
}

DictionaryEntries ReadDictionaryEntries(sqlite3* db, std::string_view day) {
  std::string midnight = std::string(day) + " 00:00:00";
  DictionaryEntries entries;
  entries.uniqueCalls = ReadEntries(
      db,
      "SELECT ID, Callsign, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone FROM UNIQUECALL" +
          ValidRowsWhere("Callsign"),
      midnight, {5, 6, 7});
  entries.provinces = ReadEntries(
      db,
      "SELECT ID, PrefixList, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone FROM PROVINCE" +
          ValidRowsWhere("PrefixList"),
      midnight, {5});
  entries.countries =
      ReadEntries(db,
                  "SELECT ID, PrefixList, Continent, ARRLPrefix, NULL, DXCC, ITUZone, CQZone FROM COUNTRY" +
                      ValidRowsWhere("PrefixList"),
                  midnight, {});
  return entries;
}

std::string LocalDayText() {
  std::time_t now = std::time(nullptr);
  char text[16] = {};
  std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
  return text;
}

}  // namespace quillet::host
