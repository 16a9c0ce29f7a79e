#include "logmodel/pattern_index.h"

namespace quillet {

PatternIndex::PatternIndex(const std::vector<std::u16string_view>& patterns)
    : patterns_(patterns.begin(), patterns.end()) {
  for (std::size_t entry = 0; entry < patterns_.size(); ++entry) {
    const std::u16string& pattern = patterns_[entry];
    if (pattern.empty()) continue;
    if (IsLiteralPattern(pattern)) {
      literals_.emplace(pattern, entry);  // keeps the first of duplicates
    } else {
      candidates_.push_back({entry, CompiledPattern(pattern, true)});
    }
  }
  for (std::uint32_t i = 0; i < candidates_.size(); ++i) {
    all_.push_back(i);
    for (std::size_t unit = 0; unit < byFirstUnit_.size(); ++unit) {
      if (candidates_[i].pattern.CanStartWith(static_cast<char16_t>(unit))) byFirstUnit_[unit].push_back(i);
    }
  }
}

std::size_t PatternIndex::FirstMatch(std::u16string_view callsign) const {
  const auto literal = literals_.find(callsign);
  const std::size_t literalEntry = literal == literals_.end() ? kNone : literal->second;
  // An empty callsign has no first unit to choose by.
  const auto& tried = callsign.empty() ? all_ : byFirstUnit_[callsign[0] < 255 ? callsign[0] : 255];
  const std::size_t entry = FirstCandidate(tried, callsign, literalEntry);
  return entry != kNone ? entry : literalEntry;
}

// The first candidate before entry `before` that resolves callsign.
std::size_t PatternIndex::FirstCandidate(const std::vector<std::uint32_t>& tried,
                                         std::u16string_view callsign, std::size_t before) const {
  for (const std::uint32_t i : tried) {
    const Candidate& candidate = candidates_[i];
    if (candidate.entry >= before) break;
    if (candidate.pattern.MatchesWhole(callsign, matchData_)) return candidate.entry;
  }
  return kNone;
}

}  // namespace quillet
