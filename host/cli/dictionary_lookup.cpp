#include "host/cli/dictionary_lookup.h"

#include <pcre2.h>

#include <array>
#include <vector>

#include "host/base/host_error.h"
#include "host/base/text.h"
#include "refdata/compiled_pattern.h"
#include "refdata/pattern_index.h"

namespace quillet::host {
namespace {

CallsignReference ReferenceOfRow(DictionaryTable table, const DictionaryEntry& row) {
  switch (table) {
    case DictionaryTable::UniqueCall:
      return ReferenceOf(UniqueCallOf(row));
    case DictionaryTable::Province:
      return ReferenceOf(ProvinceOf(row));
    case DictionaryTable::Country:
      return ReferenceOf(CountryOf(row));
  }
  return {};
}

// The engine's own words for a refused pattern, with the offset it gives:
// the module keeps only its message, the operator needs the place too.
std::string RefusalText(const std::u16string& pattern) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), 0, &error,
                                   &offset, nullptr);
  pcre2_code_free(code);
  std::array<PCRE2_UCHAR, 256> text{};
  pcre2_get_error_message(error, text.data(), text.size());
  std::string message;
  for (PCRE2_UCHAR unit : text) {
    if (unit == 0) break;
    message += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return "refused at " + std::to_string(offset) + ": " + message;
}

// A pattern the module could not compile raises when it is tried; an empty
// callsign tries it without matching anything else.
void RequireCompiled(DictionaryTable table, const DictionaryEntry& row, const std::u16string& pattern) {
  MatchData data;
  try {
    CompiledPattern(pattern, false).MatchesWhole(u"", data);
  } catch (const ERegExpr&) {
    throw HostError(std::string(TableName(table)) + " row " + std::to_string(row.id) + ": pattern \"" +
                    row.pattern + "\" " + RefusalText(pattern));
  }
}

std::vector<std::u16string> PatternsOf(DictionaryTable table, const std::vector<DictionaryEntry>& rows) {
  std::vector<std::u16string> patterns;
  patterns.reserve(rows.size());
  for (const DictionaryEntry& row : rows) {
    patterns.push_back(Utf16(row.pattern));
    if (!row.pattern.empty()) RequireCompiled(table, row, patterns.back());
  }
  return patterns;
}

PatternIndex IndexOf(const std::vector<std::u16string>& patterns) {
  return PatternIndex(std::vector<std::u16string_view>(patterns.begin(), patterns.end()));
}

}  // namespace

TUniqueCallField UniqueCallOf(const DictionaryEntry& row) {
  return {.Callsign = Utf16(row.pattern),
          .Continent = Utf16(row.continent),
          .ARRLPrefix = Utf16(row.arrlPrefix),
          .Prefix = Utf16(row.prefix),
          .DXCC = Utf16(row.dxcc),
          .ITUZone = Utf16(row.ituZone),
          .CQZone = Utf16(row.cqZone)};
}

TProvinceField ProvinceOf(const DictionaryEntry& row) {
  return {.Continent = Utf16(row.continent),
          .ARRLPrefix = Utf16(row.arrlPrefix),
          .Prefix = Utf16(row.prefix),
          .DXCC = Utf16(row.dxcc),
          .ITUZone = Utf16(row.ituZone),
          .CQZone = Utf16(row.cqZone),
          .PrefixList = Utf16(row.pattern)};
}

TCountryField CountryOf(const DictionaryEntry& row) {
  return {.Continent = Utf16(row.continent),
          .ARRLPrefix = Utf16(row.arrlPrefix),
          .DXCC = Utf16(row.dxcc),
          .ITUZone = Utf16(row.ituZone),
          .CQZone = Utf16(row.cqZone),
          .PrefixList = Utf16(row.pattern)};
}

// One table's rows and the module's index over their patterns.
class DictionaryLookup::Table {
 public:
  Table(DictionaryTable table, const std::vector<DictionaryEntry>& rows)
      : table_(table), rows_(rows), index_(IndexOf(PatternsOf(table, rows))) {}

  std::optional<Resolution> Resolve(std::u16string_view callsign) const {
    const std::size_t found = index_.FirstMatch(callsign);
    if (found == PatternIndex::kNone) return std::nullopt;
    const DictionaryEntry& row = rows_[found];
    const CallsignReference values = ReferenceOfRow(table_, row);
    return Resolution{table_,
                      row.id,
                      row.pattern,
                      Utf8(values.continent),
                      Utf8(values.dxccPrefix),
                      Utf8(values.dxcc),
                      Utf8(values.mainPrefix),
                      Utf8(values.ituZone),
                      Utf8(values.cqZone)};
  }

 private:
  DictionaryTable table_;
  std::vector<DictionaryEntry> rows_;
  PatternIndex index_;
};

DictionaryLookup::DictionaryLookup(const DictionaryEntries& entries)
    : tables_{std::make_unique<Table>(DictionaryTable::UniqueCall, entries.uniqueCalls),
              std::make_unique<Table>(DictionaryTable::Province, entries.provinces),
              std::make_unique<Table>(DictionaryTable::Country, entries.countries)} {}

DictionaryLookup::~DictionaryLookup() = default;

std::optional<Resolution> DictionaryLookup::Resolve(std::string_view callsign) const {
  const std::u16string call = Utf16(callsign);
  for (const auto& table : tables_) {
    if (std::optional<Resolution> found = table->Resolve(call)) return found;
  }
  return std::nullopt;
}

}  // namespace quillet::host
