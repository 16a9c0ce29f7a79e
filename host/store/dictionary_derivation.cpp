#include "host/store/dictionary_derivation.h"

#include <algorithm>
#include <map>
#include <set>

namespace quillet::host {
namespace {

// One prefix or callsign of the file with the entity it belongs to.
struct Source {
  const CtyEntity* entity;
  const CtyItem* item;
};

std::string Escaped(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// The DXCC prefix of each entity number: that of its first entity not on
// the WAE list only, else of its first entity.
std::map<int, std::string> DxccPrefixes(const std::vector<CtyEntity>& entities) {
  std::map<int, std::string> prefixes;
  for (const CtyEntity& entity : entities) {
    if (!entity.IsWaeOnly()) prefixes.try_emplace(entity.dxcc, PlainPrefix(entity.primaryPrefix));
  }
  for (const CtyEntity& entity : entities)
    prefixes.try_emplace(entity.dxcc, PlainPrefix(entity.primaryPrefix));
  return prefixes;
}

// The first occurrence of every prefix (exact == false) or callsign.
std::vector<Source> FirstItems(const std::vector<CtyEntity>& entities, bool exact) {
  std::vector<Source> sources;
  std::set<std::string, std::less<>> seen;
  for (const CtyEntity& entity : entities) {
    for (const CtyItem& item : entity.items) {
      if (item.exactCall == exact && seen.insert(item.text).second) sources.push_back({&entity, &item});
    }
  }
  return sources;
}

// The longest prefix of its own entity that the callsign begins with, else
// the entity's plain primary prefix.
std::string MainPrefixOfCall(const CtyEntity& entity, std::string_view callsign) {
  std::string best;
  for (const CtyItem& item : entity.items) {
    if (!item.exactCall && callsign.starts_with(item.text) && item.text.size() > best.size())
      best = item.text;
  }
  return best.empty() ? PlainPrefix(entity.primaryPrefix) : best;
}

DictionaryRow RowOf(const Source& source, const std::string& dxccPrefix, std::string pattern,
                    std::string mainPrefix) {
  const CtyEntity& entity = *source.entity;
  const CtyItem& item = *source.item;
  return DictionaryRow{std::move(pattern),
                       item.continent.value_or(entity.continent),
                       dxccPrefix,
                       std::move(mainPrefix),
                       entity.dxcc,
                       item.ituZone.value_or(entity.ituZone),
                       item.cqZone.value_or(entity.cqZone)};
}

std::vector<DictionaryRow> UniqueCallRows(const std::vector<CtyEntity>& entities,
                                          const std::map<int, std::string>& dxccPrefixes) {
  std::vector<DictionaryRow> rows;
  for (const Source& source : FirstItems(entities, true)) {
    const std::string& call = source.item->text;
    rows.push_back(RowOf(source, dxccPrefixes.at(source.entity->dxcc), ExactCallPattern(call),
                         MainPrefixOfCall(*source.entity, call)));
  }
  return rows;
}

// Longer prefixes first; among equal lengths, file order.
void SortLongestFirst(std::vector<Source>& sources) {
  std::stable_sort(sources.begin(), sources.end(), [](const Source& a, const Source& b) {
    return a.item->text.size() > b.item->text.size();
  });
}

// Which prefixes go to COUNTRY: an entity's own DXCC prefix whose shorter
// prefixes (those in the file) all go to COUNTRY too. Settled shortest first.
std::set<std::string, std::less<>> CountryPrefixes(std::vector<Source> sources,
                                                   const std::map<int, std::string>& dxccPrefixes) {
  std::set<std::string, std::less<>> all;
  for (const Source& source : sources) all.insert(source.item->text);
  std::reverse(sources.begin(), sources.end());
  std::set<std::string, std::less<>> country;
  for (const Source& source : sources) {
    const std::string& text = source.item->text;
    bool qualifies = text == dxccPrefixes.at(source.entity->dxcc);
    for (std::size_t length = 1; qualifies && length < text.size(); ++length) {
      std::string_view shorter = std::string_view(text).substr(0, length);
      qualifies = !all.contains(shorter) || country.contains(shorter);
    }
    if (qualifies) country.insert(text);
  }
  return country;
}

void AddPrefixRows(DictionaryRows& rows, const std::vector<CtyEntity>& entities,
                   const std::map<int, std::string>& dxccPrefixes) {
  std::vector<Source> sources = FirstItems(entities, false);
  SortLongestFirst(sources);
  std::set<std::string, std::less<>> country = CountryPrefixes(sources, dxccPrefixes);
  for (const Source& source : sources) {
    const std::string& prefix = source.item->text;
    auto& table = country.contains(prefix) ? rows.countries : rows.provinces;
    table.push_back(RowOf(source, dxccPrefixes.at(source.entity->dxcc), PrefixPattern(prefix), prefix));
  }
}

DictionaryRow NothingRow() {
  DictionaryRow row;
  row.pattern = std::string(kMatchesNothing);
  return row;
}

// No other prefix begins the shortest one, so it may leave PROVINCE for an
// empty COUNTRY without being hidden; there its main prefix becomes the DXCC
// prefix.
void FillEmptyTables(DictionaryRows& rows) {
  if (rows.countries.empty() && !rows.provinces.empty()) {
    rows.countries.push_back(rows.provinces.back());
    rows.provinces.pop_back();
  }
  for (auto* table : {&rows.uniqueCalls, &rows.provinces, &rows.countries}) {
    if (table->empty()) table->push_back(NothingRow());
  }
}

}  // namespace

std::string_view TableName(DictionaryTable table) {
  switch (table) {
    case DictionaryTable::UniqueCall:
      return "UNIQUECALL";
    case DictionaryTable::Province:
      return "PROVINCE";
    case DictionaryTable::Country:
      return "COUNTRY";
  }
  return "";
}

std::string ExactCallPattern(std::string_view callsign) { return "^" + Escaped(callsign) + "$"; }

std::string PrefixPattern(std::string_view prefix) { return "^" + Escaped(prefix) + ".*"; }

DictionaryRows DeriveDictionaryRows(const std::vector<CtyEntity>& entities) {
  std::map<int, std::string> dxccPrefixes = DxccPrefixes(entities);
  DictionaryRows rows;
  rows.uniqueCalls = UniqueCallRows(entities, dxccPrefixes);
  AddPrefixRows(rows, entities, dxccPrefixes);
  FillEmptyTables(rows);
  return rows;
}

}  // namespace quillet::host
