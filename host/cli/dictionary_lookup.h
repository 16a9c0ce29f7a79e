// The module's callsign resolution over the host's own dictionary rows, for
// `dict show`: the host does not resolve by a rule of its own but hands the
// rows, as the module's loaders would read them, to the module's pattern
// index and takes the values the module would write into a QSO. So the
// answer shown is the module's, and there is one resolution rule to keep.
//
// What the module does not say, and the command shows, is which row
// answered: the lookup keeps each table's index apart to name it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/store/dictionary_derivation.h"
#include "host/store/dictionary_store.h"
#include "refdata/dictionaries.h"

namespace quillet::host {

// The six values the module writes into a QSO, cut to its column widths,
// with the row they came from.
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

// A row as the module's own entry of its table, as its loaders fill it: so
// the module cuts its values and a COUNTRY row lends its DXCC prefix as the
// main prefix, as in an import.
TUniqueCallField UniqueCallOf(const DictionaryEntry& row);
TProvinceField ProvinceOf(const DictionaryEntry& row);
TCountryField CountryOf(const DictionaryEntry& row);

class DictionaryLookup {
 public:
  // Compiles every pattern once. The module would raise for a refused
  // pattern only when its turn comes; the host refuses the rows at once,
  // naming the table and ID of the first it finds (HostError), so that the
  // operator can mend the row before an import trips over it.
  explicit DictionaryLookup(const DictionaryEntries& entries);
  ~DictionaryLookup();
  DictionaryLookup(const DictionaryLookup&) = delete;
  DictionaryLookup& operator=(const DictionaryLookup&) = delete;

  // The callsign as given (the module passes it upper-cased); nullopt when
  // no row resolves it.
  std::optional<Resolution> Resolve(std::string_view callsign) const;

 private:
  class Table;
  // In the module's order of search: UNIQUECALL, PROVINCE, COUNTRY.
  std::unique_ptr<Table> tables_[3];
};

}  // namespace quillet::host
