#include "host/store/dictionary_store.h"

#include <optional>

#include "host/base/text.h"
#include "host/os/timestamp.h"
#include "host/store/database.h"
#include "host/store/dictionary_csv.h"

namespace quillet::host {
namespace {

// A dictionary command runs many statements on the operator's behalf, so a
// failure names the statement it came from; a fault stays a fault.
template <typename Work>
auto Naming(std::string_view sql, Work work) -> decltype(work()) {
  try {
    return work();
  } catch (const DatabaseFault& fault) {
    throw DatabaseFault(std::string(sql) + ": " + fault.what());
  } catch (const HostError& error) {
    throw HostError(std::string(sql) + ": " + error.what());
  }
}

void Exec(Database& db, const std::string& sql) {
  Naming(sql, [&] { db.Exec(sql); });
}

Statement Prepare(Database& db, const std::string& sql) {
  return Naming(sql, [&] { return db.Prepare(sql); });
}

// True on a row.
bool Step(Statement& statement, std::string_view sql) {
  return Naming(sql, [&] { return statement.Step(); });
}

// Runs a statement without rows and makes it ready for the next values.
void Run(Statement& statement, std::string_view sql) {
  Step(statement, sql);
  statement.Reset();
  statement.ClearBindings();
}

void Bind(Statement& statement, int index, const CsvField& field) {
  field ? statement.Bind(index, *field) : statement.BindNull(index);
}

// The module's loader reads these columns through a 32-bit integer read,
// which gives 0 for NULL and keeps the low 32 bits of a larger value.
std::string IntegerText(const Statement& statement, int column) {
  return std::to_string(static_cast<std::int32_t>(statement.Integer(column)));
}

// BEGIN IMMEDIATE, named as the other statements are when it fails.
void Begin(Database& db, std::optional<Transaction>& transaction) {
  Naming("BEGIN IMMEDIATE", [&] { transaction.emplace(db); });
}

void Commit(Transaction& transaction) {
  Naming("COMMIT", [&] { transaction.Commit(); });
}

// One table's INSERT and how its numbers are bound: as integers where the
// module's loader reads an integer, as text where it reads text, so that a
// value reads back through the same path it would take into the module.
struct TableWriting {
  const char* sql;
  bool withPrefix;  // COUNTRY has no main prefix of its own
  bool dxccAsText;
  bool zonesAsText;
};

constexpr TableWriting kUniqueCallWriting{
    "INSERT INTO UNIQUECALL (ID, Callsign, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
    true, false, false};
constexpr TableWriting kProvinceWriting{
    "INSERT INTO PROVINCE (ID, PrefixList, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
    true, false, true};
constexpr TableWriting kCountryWriting{
    "INSERT INTO COUNTRY (ID, PrefixList, Continent, ARRLPrefix, DXCC, ITUZone, CQZone)"
    " VALUES (?, ?, ?, ?, ?, ?, ?)",
    false, true, true};

void BindNumber(Statement& statement, int index, int value, bool asText) {
  asText ? statement.Bind(index, std::to_string(value)) : statement.Bind(index, std::int64_t{value});
}

void WriteRows(Database& db, const TableWriting& writing, const std::vector<DictionaryRow>& rows) {
  Statement insert = Prepare(db, writing.sql);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DictionaryRow& row = rows[i];
    int column = 1;
    insert.Bind(column++, static_cast<std::int64_t>(i + 1));
    insert.Bind(column++, row.pattern);
    insert.Bind(column++, row.continent);
    insert.Bind(column++, row.arrlPrefix);
    if (writing.withPrefix) insert.Bind(column++, row.prefix);
    BindNumber(insert, column++, row.dxcc, writing.dxccAsText);
    BindNumber(insert, column++, row.ituZone, writing.zonesAsText);
    BindNumber(insert, column++, row.cqZone, writing.zonesAsText);
    Run(insert, writing.sql);
  }
}

std::string Quoted(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::vector<std::string> ColumnsOf(Database& db, DictionaryTable table) {
  const std::string sql = "PRAGMA table_info(" + std::string(TableName(table)) + ")";
  Statement info = Prepare(db, sql);
  std::vector<std::string> columns;
  while (Step(info, sql)) columns.push_back(info.Text(1));
  if (columns.empty()) throw HostError("the database has no table " + std::string(TableName(table)));
  return columns;
}

// The INSERT for the CSV's header; every name must be one of the table's.
std::string InsertFor(Database& db, DictionaryTable table, const CsvRecord& header) {
  std::vector<std::string> columns = ColumnsOf(db, table);
  std::string names;
  std::string values;
  for (const CsvField& name : header) {
    bool known = false;
    for (const std::string& column : columns) known = known || (name && EqualsNoCase(*name, column));
    if (!known)
      throw HostError(std::string(TableName(table)) + " has no column \"" + name.value_or("") + "\"");
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
std::vector<DictionaryEntry> ReadEntries(Database& db, const std::string& sql, const std::string& midnight,
                                         std::initializer_list<int> integerColumns) {
  Statement select = Prepare(db, sql);
  select.Bind(1, midnight);
  std::vector<DictionaryEntry> entries;
  auto value = [&](int column) {
    for (int integer : integerColumns) {
      if (integer == column) return IntegerText(select, column);
    }
    return select.Text(column);
  };
  while (Step(select, sql)) {
    entries.push_back(
        {select.Integer(0), select.Text(1), value(2), value(3), value(4), value(5), value(6), value(7)});
  }
  return entries;
}

}  // namespace

DictionaryCounts ReplaceDictionaries(Database& db, const DictionaryRows& rows) {
  std::optional<Transaction> transaction;
  Begin(db, transaction);
  Exec(db, "DELETE FROM UNIQUECALL; DELETE FROM PROVINCE; DELETE FROM COUNTRY;");
  WriteRows(db, kUniqueCallWriting, rows.uniqueCalls);
  WriteRows(db, kProvinceWriting, rows.provinces);
  WriteRows(db, kCountryWriting, rows.countries);
  Commit(*transaction);
  return {rows.uniqueCalls.size(), rows.provinces.size(), rows.countries.size()};
}

std::size_t LoadDictionaryCsv(Database& db, DictionaryTable table, std::string_view csvText, bool replace) {
  std::vector<CsvRecord> records = ParseCsv(csvText);
  if (records.empty()) throw HostError("the CSV file has no header line");
  std::optional<Transaction> transaction;
  Begin(db, transaction);
  if (replace) Exec(db, "DELETE FROM " + std::string(TableName(table)));
  const std::string sql = InsertFor(db, table, records[0]);
  Statement insert = Prepare(db, sql);
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (records[i].size() != records[0].size()) {
      throw HostError("CSV record " + std::to_string(i + 1) + " has " + std::to_string(records[i].size()) +
                      " fields, the header " + std::to_string(records[0].size()));
    }
    for (std::size_t k = 0; k < records[i].size(); ++k) Bind(insert, static_cast<int>(k + 1), records[i][k]);
    Run(insert, sql);
  }
  Commit(*transaction);
  return records.size() - 1;
}

DictionaryEntries ReadDictionaryEntries(Database& db, std::string_view day) {
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

std::string LocalDayText() { return LocalTimestamp().substr(0, 10); }

}  // namespace quillet::host
