// The dictionaries UNIQUECALL, PROVINCE and COUNTRY in the host's database:
// writing derived rows, loading rows from CSV, and reading them back the way
// the module's loaders read them through the query protocol, so that the
// host can resolve a callsign over exactly the entries the module would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/store/dictionary_derivation.h"

namespace quillet::host {

class Database;

// One dictionary row as the module holds it once loaded: every value as
// text, numbers read through the type its loader reads them in.
struct DictionaryEntry {
  std::int64_t id = 0;
  std::string pattern;
  std::string continent;
  std::string arrlPrefix;
  std::string prefix;  // empty in COUNTRY
  std::string dxcc;
  std::string ituZone;
  std::string cqZone;
};

struct DictionaryEntries {
  std::vector<DictionaryEntry> uniqueCalls;
  std::vector<DictionaryEntry> provinces;
  std::vector<DictionaryEntry> countries;
};

struct DictionaryCounts {
  std::size_t uniqueCalls = 0;
  std::size_t provinces = 0;
  std::size_t countries = 0;
};

// Replaces the three tables' contents with the rows, IDs from 1 in their
// order, in one transaction: on failure (HostError) nothing changed.
// Each number is written in the type its loader reads; validity dates stay
// NULL, which means always valid.
DictionaryCounts ReplaceDictionaries(Database& db, const DictionaryRows& rows);

// Adds the rows of the CSV text to the table, after emptying it when
// replace is set, in one transaction. The first record names the columns:
// any of the table's (ID included), in any order, without regard to case.
// Values are stored as written, through the column's type; an empty field
// is NULL. Returns the number of rows added; raises HostError.
std::size_t LoadDictionaryCsv(Database& db, DictionaryTable table, std::string_view csvText, bool replace);

// The rows with a pattern that are valid on the day ("yyyy-mm-dd"), in ID
// order, each value read as the module's loader reads it: through the
// integer read (NULL gives 0) where it reads an integer, as text otherwise.
DictionaryEntries ReadDictionaryEntries(Database& db, std::string_view day);

// Today's local date as "yyyy-mm-dd", the day the module's loaders use.
std::string LocalDayText();

}  // namespace quillet::host
