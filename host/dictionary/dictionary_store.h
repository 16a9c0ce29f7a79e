// The dictionaries in the host's database (an open SQLite connection whose
// tables UNIQUECALL, PROVINCE and COUNTRY the host has created): writing
// derived rows, loading rows from CSV, and reading them back the way the
// module's loaders read them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/dictionary/dictionary_derivation.h"
#include "host/dictionary/dictionary_resolver.h"

struct sqlite3;

namespace quillet::host {

struct DictionaryCounts {
  std::size_t uniqueCalls = 0;
  std::size_t provinces = 0;
  std::size_t countries = 0;
};

// Replaces the three tables' contents with the rows, IDs from 1 in their
// order, in one transaction: on failure (DictionaryError) nothing changed.
// Each number is written in the type its loader reads; validity dates stay
// NULL, which means always valid.
DictionaryCounts ReplaceDictionaries(sqlite3* db, const DictionaryRows& rows);

// Adds the rows of the CSV text to the table, after emptying it when
// replace is set, in one transaction. The first record names the columns:
// any of the table's (ID included), in any order, without regard to case.
// Values are stored as written, through the column's type; an empty field
// is NULL. Returns the number of rows added; raises DictionaryError.
std::size_t LoadDictionaryCsv(sqlite3* db, DictionaryTable table, std::string_view csvText, bool replace);

// The rows with a pattern that are valid on the day ("yyyy-mm-dd"), in ID
// order, each value read as the module's loader reads it: through the
// integer read (NULL gives 0) where it reads an integer, as text otherwise.
DictionaryEntries ReadDictionaryEntries(sqlite3* db, std::string_view day);

// Today's local date as "yyyy-mm-dd", the day the module's loaders use.
std::string LocalDayText();

}  // namespace quillet::host
