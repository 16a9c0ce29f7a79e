#include "support/callsign_scan.h"

#include "refdata/compiled_pattern.h"

namespace quillet {
namespace {

template <class List>
const typename List::value_type* FirstMatch(const List& list, std::u16string_view callsign,
                                            MatchData& matchData) {
  for (const auto& entry : list) {
    const std::u16string& pattern = PatternOf(entry);
    if (!pattern.empty() && CompiledPattern(pattern, false).MatchesWhole(callsign, matchData)) return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<CallsignReference> ResolveCallsignByScan(const Dictionaries& dictionaries,
                                                       std::u16string_view callsign) {
  MatchData matchData;
  if (const auto* entry = FirstMatch(dictionaries.UniqueCallList(), callsign, matchData))
    return ReferenceOf(*entry);
  if (const auto* entry = FirstMatch(dictionaries.ProvinceList(), callsign, matchData))
    return ReferenceOf(*entry);
  if (const auto* entry = FirstMatch(dictionaries.CountryList(), callsign, matchData))
    return ReferenceOf(*entry);
  return std::nullopt;
}

}  // namespace quillet
