// The patterns of one dictionary list, arranged so that a resolution tries
// only the entries that can match, with exactly the answer of trying every
// entry in list order:
//  * patterns of an Exact or Prefix shape (pattern_shape.h) are not run but
//    looked up by hash: the callsign itself among the Exact literals, each
//    of its beginnings among the Prefix literals. The lowest entry found
//    bounds the search;
//  * the other patterns are compiled and those before that bound are tried
//    in list order, but only those whose matches can begin with the
//    callsign's first unit. A pattern that did not compile raises when its
//    turn comes, as in the plain scan.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "refdata/compiled_pattern.h"

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

 private:
  struct Candidate {
    std::size_t entry;
    CompiledPattern pattern;
  };
  using LiteralMap = std::unordered_map<std::u16string_view, std::size_t>;

  struct Shaped {
    std::size_t entry;
    bool prefix;  // a Prefix shape, else an Exact one
  };
  void IndexLiterals(const std::vector<Shaped>& shaped);
  void IndexFirstUnits();
  std::size_t FirstExact(std::u16string_view callsign) const;
  std::size_t FirstPrefix(std::u16string_view callsign) const;
  bool RunResolves(std::size_t entry, std::u16string_view callsign) const;
  std::size_t FirstCandidate(std::u16string_view callsign, std::size_t before) const;

  std::vector<std::u16string> patterns_;
  // The literal of every shaped pattern. The maps' keys point into it; its
  // elements keep their addresses when the index is moved.
  std::vector<std::u16string> literals_;
  LiteralMap exact_;     // literal -> first entry of an Exact shape
  LiteralMap prefixes_;  // literal -> first entry of a Prefix shape
  std::size_t longestPrefix_ = 0;
  std::vector<Candidate> candidates_;                        // in list order
  std::vector<std::uint32_t> all_;                           // every candidate
  std::array<std::vector<std::uint32_t>, 256> byFirstUnit_;  // unit 255 stands for 255 and up
  mutable MatchData matchData_;
};

}  // namespace quillet
