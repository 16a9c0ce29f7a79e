// One callsign pattern compiled with PCRE2 (16-bit code units), and the
// match rule of callsign resolution: a pattern resolves a callsign when the
// engine's first match, searched from the callsign's first character (the
// leftmost one, and at that position the first in trial order), spans the
// whole callsign. That is not an anchored full match: "K|K1ABC" finds "K"
// first and so does not resolve "K1ABC".
//
// Syntax is Perl's; matching is case-sensitive, repetition greedy unless
// written lazily, and "$" matches only at the very end of the text.
#pragma once

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/exceptions.h"

struct pcre2_real_code_16;
struct pcre2_real_match_data_16;

namespace quillet {

// A pattern the engine cannot compile; the message is the engine's own.
QUILLET_DECLARE_EXCEPTION(ERegExpr, Exception)

// Scratch space for one match at a time; reused across matches.
class MatchData {
 public:
  MatchData();
  pcre2_real_match_data_16* get() const { return data_.get(); }

 private:
  struct Deleter {
    void operator()(pcre2_real_match_data_16* data) const;
  };
  std::unique_ptr<pcre2_real_match_data_16, Deleter> data_;
};

class CompiledPattern {
 public:
  // Never throws for a bad pattern: the engine's error is kept and raised
  // by MatchesWhole, so that it surfaces only when the pattern's turn
  // comes. With jit, the pattern is also compiled to machine code where
  // the engine supports it; otherwise it is interpreted, with equal results.
  CompiledPattern(std::u16string_view pattern, bool jit);

  // Whether the first match in callsign is the whole callsign. Raises
  // ERegExpr for a pattern that did not compile or a match the engine
  // could not finish.
  bool MatchesWhole(std::u16string_view callsign, MatchData& data) const;

  // False only when no match can begin with unit; units from 255 up share
  // one answer. Always true for a pattern that did not compile.
  bool CanStartWith(char16_t unit) const { return startUnits_[unit < 255 ? unit : 255]; }

 private:
  struct Deleter {
    void operator()(pcre2_real_code_16* code) const;
  };
  void AnalyseStart();
  [[noreturn]] void RaiseError() const;

  std::u16string pattern_;
  std::unique_ptr<pcre2_real_code_16, Deleter> code_;
  std::u16string error_;
  std::bitset<256> startUnits_;
};

}  // namespace quillet
