// The patterns of one dictionary list, compiled once and arranged so that a
// resolution tries only the entries that can match, with exactly the answer
// of trying every entry in list order:
//  * literal patterns (no metacharacters) resolve only the callsign equal
//    to them, so they are looked up by hash;
//  * the other patterns are tried in list order, but only those whose
//    matches can begin with the callsign's first unit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "logmodel/compiled_pattern.h"

namespace quillet {

class PatternIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  PatternIndex() = default;
  // patterns[i] belongs to entry i; entries with an empty pattern never match.
  explicit PatternIndex(const std::vector<std::u16string_view>& patterns);

  // The first entry whose pattern resolves callsign, or kNone. Raises
  // ERegExpr when a pattern that did not compile has its turn.
  std::size_t FirstMatch(std::u16string_view callsign) const;
  // The pattern entry held when the index was built.
  const std::u16string& PatternOf(std::size_t entry) const { return patterns_[entry]; }
  std::size_t Size() const { return patterns_.size(); }

 private:
  struct Candidate {
    std::size_t entry;
    CompiledPattern pattern;
  };
  std::size_t FirstCandidate(const std::vector<std::uint32_t>& tried, std::u16string_view callsign,
                             std::size_t before) const;

  std::vector<std::u16string> patterns_;
  // First entry per literal; the views point into patterns_, whose elements
  // keep their addresses when the index is moved.
  std::unordered_map<std::u16string_view, std::size_t> literals_;
  std::vector<Candidate> candidates_;                        // in list order
  std::vector<std::uint32_t> all_;                           // every candidate
  std::array<std::vector<std::uint32_t>, 256> byFirstUnit_;  // unit 255 stands for 255 and up
  mutable MatchData matchData_;
};

}  // namespace quillet
