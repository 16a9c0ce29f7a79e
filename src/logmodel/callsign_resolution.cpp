#include "logmodel/callsign_resolution.h"

#include <cstdint>
#include <vector>

#include "logmodel/compiled_pattern.h"
#include "logmodel/dictionaries.h"
#include "logmodel/pattern_index.h"

namespace quillet {
namespace {

const std::u16string& PatternOf(const TUniqueCallField& entry) { return entry.Callsign; }
const std::u16string& PatternOf(const TProvinceField& entry) { return entry.PrefixList; }
const std::u16string& PatternOf(const TCountryField& entry) { return entry.PrefixList; }

// A COUNTRY entry has no main prefix of its own.
const std::u16string& MainPrefixOf(const TUniqueCallField& entry) { return entry.Prefix; }
const std::u16string& MainPrefixOf(const TProvinceField& entry) { return entry.Prefix; }
const std::u16string& MainPrefixOf(const TCountryField& entry) { return entry.ARRLPrefix; }

// The six outputs, cut to the widths of the log columns that receive them.
struct Outputs {
  std::u16string& continent;
  std::u16string& dxccPrefix;
  std::u16string& dxcc;
  std::u16string& mainPrefix;
  std::u16string& ituZone;
  std::u16string& cqZone;

  template <class Entry>
  bool Set(const Entry& entry) {
    continent = entry.Continent.substr(0, 2);
    dxccPrefix = entry.ARRLPrefix.substr(0, 5);
    dxcc = entry.DXCC;
    mainPrefix = MainPrefixOf(entry).substr(0, 5);
    ituZone = entry.ITUZone.substr(0, 2);
    cqZone = entry.CQZone.substr(0, 2);
    return true;
  }
};

// UNIQUECALL, then PROVINCE, then COUNTRY; find(list) gives the first
// matching entry of a list or null.
template <class Find>
bool ResolveInOrder(Find&& find, Outputs outputs) {
  if (const auto* entry = find(UniqueCallList)) return outputs.Set(*entry);
  if (const auto* entry = find(ProvinceList)) return outputs.Set(*entry);
  if (const auto* entry = find(CountryList)) return outputs.Set(*entry);
  return false;
}

template <class List>
std::vector<std::u16string_view> PatternsOf(const List& list) {
  std::vector<std::u16string_view> patterns;
  patterns.reserve(list.size());
  for (const auto& entry : list) patterns.push_back(PatternOf(entry));
  return patterns;
}

// The compiled patterns of one list, and what identifies the list they
// were built from.
struct IndexedList {
  const void* data = nullptr;
  std::size_t size = 0;
  PatternIndex index;

  template <class List>
  bool BuiltFrom(const List& list) const {
    return data == list.data() && size == list.size();
  }
  template <class List>
  void Build(const List& list) {
    index = PatternIndex(PatternsOf(list));
    data = list.data();
    size = list.size();
  }
  // The entry the index finds; null when none matches or when the entry's
  // pattern is no longer the one compiled (then stale is set).
  template <class List>
  const typename List::value_type* Find(const List& list, std::u16string_view callsign, bool& stale) const {
    const std::size_t entry = index.FirstMatch(callsign);
    if (entry == PatternIndex::kNone) return nullptr;
    stale = stale || PatternOf(list[entry]) != index.PatternOf(entry);
    return stale ? nullptr : &list[entry];
  }
};

struct ResolutionState {
  std::uint64_t generation = 0;
  std::uint64_t builtGeneration = ~std::uint64_t{0};
  IndexedList uniqueCalls;
  IndexedList provinces;
  IndexedList countries;

  IndexedList& For(const TUniqueCallList&) { return uniqueCalls; }
  IndexedList& For(const TProvinceList&) { return provinces; }
  IndexedList& For(const TCountryList&) { return countries; }

  bool Current() const {
    return builtGeneration == generation && uniqueCalls.BuiltFrom(UniqueCallList) &&
           provinces.BuiltFrom(ProvinceList) && countries.BuiltFrom(CountryList);
  }
  void Rebuild() {
    builtGeneration = ~std::uint64_t{0};
    uniqueCalls.Build(UniqueCallList);
    provinces.Build(ProvinceList);
    countries.Build(CountryList);
    builtGeneration = generation;
  }
};

ResolutionState& State() {
  static ResolutionState state;
  return state;
}

}  // namespace

void InvalidateCallsignPatterns() { ++State().generation; }

bool ResolveCallsign(std::u16string_view callsign, std::u16string& continent, std::u16string& dxccPrefix,
                     std::u16string& dxcc, std::u16string& mainPrefix, std::u16string& ituZone,
                     std::u16string& cqZone) {
  ResolutionState& state = State();
  for (;;) {
    if (!state.Current()) state.Rebuild();
    bool stale = false;
    const bool found =
        ResolveInOrder([&](const auto& list) { return state.For(list).Find(list, callsign, stale); },
                       Outputs{continent, dxccPrefix, dxcc, mainPrefix, ituZone, cqZone});
    if (!stale) return found;
    InvalidateCallsignPatterns();
  }
}

bool ResolveCallsignByScan(std::u16string_view callsign, std::u16string& continent,
                           std::u16string& dxccPrefix, std::u16string& dxcc, std::u16string& mainPrefix,
                           std::u16string& ituZone, std::u16string& cqZone) {
  MatchData matchData;
  const auto scan = [&](const auto& list) -> decltype(list.data()) {
    for (const auto& entry : list) {
      const std::u16string& pattern = PatternOf(entry);
      if (!pattern.empty() && CompiledPattern(pattern, false).MatchesWhole(callsign, matchData))
        return &entry;
    }
    return nullptr;
  };
  return ResolveInOrder(scan, Outputs{continent, dxccPrefix, dxcc, mainPrefix, ituZone, cqZone});
}

}  // namespace quillet
