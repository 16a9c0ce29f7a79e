#include "refdata/pattern_index.h"

#include <algorithm>

#include "refdata/pattern_shape.h"

namespace quillet {

PatternIndex::PatternIndex(const std::vector<std::u16string_view>& patterns)
    : patterns_(patterns.begin(), patterns.end()) {
  std::vector<Shaped> shaped;
  for (std::size_t entry = 0; entry < patterns_.size(); ++entry) {
    const std::u16string& pattern = patterns_[entry];
    if (pattern.empty()) continue;
    PatternShape shape = ShapeOfPattern(pattern);
    if (shape.kind == PatternShape::Kind::Other) {
      candidates_.push_back({entry, CompiledPattern(pattern, true)});
    } else {
      shaped.push_back({entry, shape.kind == PatternShape::Kind::Prefix});
      literals_.push_back(std::move(shape.literal));
    }
  }
  IndexLiterals(shaped);
  IndexFirstUnits();
}

// Only once literals_ is complete may the maps point into it.
void PatternIndex::IndexLiterals(const std::vector<Shaped>& shaped) {
  for (std::size_t i = 0; i < shaped.size(); ++i) {
    const std::u16string_view literal = literals_[i];
    // emplace keeps the first entry of duplicates.
    if (!shaped[i].prefix) {
      exact_.emplace(literal, shaped[i].entry);
    } else {
      prefixes_.emplace(literal, shaped[i].entry);
      longestPrefix_ = std::max(longestPrefix_, literal.size());
    }
  }
}

void PatternIndex::IndexFirstUnits() {
  for (std::uint32_t i = 0; i < candidates_.size(); ++i) {
    all_.push_back(i);
    for (std::size_t unit = 0; unit < byFirstUnit_.size(); ++unit) {
      if (candidates_[i].pattern.CanStartWith(static_cast<char16_t>(unit))) byFirstUnit_[unit].push_back(i);
    }
  }
}

std::size_t PatternIndex::FirstMatch(std::u16string_view callsign) const {
  const std::size_t shaped = std::min(FirstExact(callsign), FirstPrefix(callsign));
  const std::size_t entry = FirstCandidate(callsign, shaped);
  return entry != kNone ? entry : shaped;
}

std::size_t PatternIndex::FirstExact(std::u16string_view callsign) const {
  const auto found = exact_.find(callsign);
  return found == exact_.end() ? kNone : found->second;
}

// The lowest Prefix entry whose literal begins callsign. All Prefix shapes
// of one literal answer alike, so the first of them stands for the rest;
// across a line break its pattern is run.
std::size_t PatternIndex::FirstPrefix(std::u16string_view callsign) const {
  if (prefixes_.empty()) return kNone;
  const bool lineBreak = HoldsLineBreak(callsign);
  std::size_t first = kNone;
  for (std::size_t length = 0, n = std::min(callsign.size(), longestPrefix_); length <= n; ++length) {
    const auto found = prefixes_.find(callsign.substr(0, length));
    if (found == prefixes_.end() || found->second >= first) continue;
    if (!lineBreak || RunResolves(found->second, callsign)) first = found->second;
  }
  return first;
}

bool PatternIndex::RunResolves(std::size_t entry, std::u16string_view callsign) const {
  return CompiledPattern(patterns_[entry], false).MatchesWhole(callsign, matchData_);
}

// The first candidate before entry `before` that resolves callsign.
std::size_t PatternIndex::FirstCandidate(std::u16string_view callsign, std::size_t before) const {
  // An empty callsign has no first unit to choose by.
  const auto& tried = callsign.empty() ? all_ : byFirstUnit_[callsign[0] < 255 ? callsign[0] : 255];
  for (const std::uint32_t i : tried) {
    const Candidate& candidate = candidates_[i];
    if (candidate.entry >= before) break;
    if (candidate.pattern.MatchesWhole(callsign, matchData_)) return candidate.entry;
  }
  return kNone;
}

}  // namespace quillet
