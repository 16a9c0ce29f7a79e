#include "refdata/dictionaries.h"

#include <utility>

namespace quillet {
namespace {

// A COUNTRY entry has no main prefix of its own.
const std::u16string& MainPrefixOf(const TUniqueCallField& entry) { return entry.Prefix; }
const std::u16string& MainPrefixOf(const TProvinceField& entry) { return entry.Prefix; }
const std::u16string& MainPrefixOf(const TCountryField& entry) { return entry.ARRLPrefix; }

template <class Entry>
CallsignReference CutToColumns(const Entry& entry) {
  return {entry.Continent.substr(0, 2),     entry.ARRLPrefix.substr(0, 5), entry.DXCC,
          MainPrefixOf(entry).substr(0, 5), entry.ITUZone.substr(0, 2),    entry.CQZone.substr(0, 2)};
}

template <class List>
PatternIndex IndexOf(const List& list) {
  std::vector<std::u16string_view> patterns;
  patterns.reserve(list.size());
  for (const auto& entry : list) patterns.push_back(PatternOf(entry));
  return PatternIndex(patterns);
}

template <class List>
const typename List::value_type* FirstMatch(const List& list, const PatternIndex& index,
                                            std::u16string_view callsign) {
  const std::size_t entry = index.FirstMatch(callsign);
  return entry == PatternIndex::kNone ? nullptr : &list[entry];
}

}  // namespace

const std::u16string& PatternOf(const TUniqueCallField& entry) { return entry.Callsign; }
const std::u16string& PatternOf(const TProvinceField& entry) { return entry.PrefixList; }
const std::u16string& PatternOf(const TCountryField& entry) { return entry.PrefixList; }

CallsignReference ReferenceOf(const TUniqueCallField& entry) { return CutToColumns(entry); }
CallsignReference ReferenceOf(const TProvinceField& entry) { return CutToColumns(entry); }
CallsignReference ReferenceOf(const TCountryField& entry) { return CutToColumns(entry); }

Dictionaries::Dictionaries(TUniqueCallList uniqueCalls, TProvinceList provinces, TCountryList countries)
    : uniqueCalls_(std::move(uniqueCalls)),
      provinces_(std::move(provinces)),
      countries_(std::move(countries)),
      uniqueCallPatterns_(IndexOf(uniqueCalls_)),
      provincePatterns_(IndexOf(provinces_)),
      countryPatterns_(IndexOf(countries_)) {}

Dictionaries Dictionaries::Load(IHostServer* server) {
  TUniqueCallList uniqueCalls;
  TProvinceList provinces;
  TCountryList countries;
  LoadUniqueCalls(server, uniqueCalls);
  LoadProvinces(server, provinces);
  LoadCountries(server, countries);
  return Dictionaries(std::move(uniqueCalls), std::move(provinces), std::move(countries));
}

std::optional<CallsignReference> Dictionaries::ResolveCallsign(std::u16string_view callsign) const {
  if (const auto* entry = FirstMatch(uniqueCalls_, uniqueCallPatterns_, callsign)) return ReferenceOf(*entry);
  if (const auto* entry = FirstMatch(provinces_, provincePatterns_, callsign)) return ReferenceOf(*entry);
  if (const auto* entry = FirstMatch(countries_, countryPatterns_, callsign)) return ReferenceOf(*entry);
  return std::nullopt;
}

}  // namespace quillet
