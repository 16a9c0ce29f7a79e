// The module's callsign resolution, applied by the host to its own
// dictionaries: UNIQUECALL first, then PROVINCE, then COUNTRY; within a
// table the first entry in ID order whose pattern's first match covers the
// whole callsign (PCRE2: searched from the first character, leftmost, and at
// that position the first in the engine's order of trial).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/dictionary/dictionary_derivation.h"

namespace quillet::host {

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

// The six values the module writes into a QSO, cut to its column widths,
// with the entry they came from.
struct Resolution {
  DictionaryTable table = DictionaryTable::UniqueCall;
  std::int64_t id = 0;
  std::string pattern;
  std::string continent;
  std::string dxccPrefix;
  std::string dxcc;
  std::string mainPrefix;
  std::string ituZone;
  std::string cqZone;
};

class DictionaryResolver {
 public:
  // Compiles every pattern; one the engine refuses raises DictionaryError
  // naming its table and ID. Entries without a pattern are skipped.
  explicit DictionaryResolver(const DictionaryEntries& entries);
  ~DictionaryResolver();
  DictionaryResolver(const DictionaryResolver&) = delete;
  DictionaryResolver& operator=(const DictionaryResolver&) = delete;

  // The callsign as given (the module passes it upper-cased); nullopt when
  // no entry matches.
  std::optional<Resolution> Resolve(std::string_view callsign) const;

 private:
  class Table;
  std::vector<std::unique_ptr<Table>> tables_;  // UNIQUECALL, PROVINCE, COUNTRY
};

}  // namespace quillet::host
