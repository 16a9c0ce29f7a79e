// Callsign resolution: the first-match rule, the order of the lists and of
// their entries, the outputs, and the compiled fast path against the
// straightforward scan.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "refdata/compiled_pattern.h"
#include "refdata/dictionaries.h"
#include "refdata/pattern_shape.h"
#include "runtime/text.h"
#include "support/ascii.h"
#include "support/callsign_scan.h"

namespace quillet {
namespace {

struct Resolved {
  bool found = false;
  std::u16string continent = u"c", dxccPrefix = u"d", dxcc = u"n", mainPrefix = u"m", ituZone = u"i",
                 cqZone = u"q";
};

// The answer copied over the sentinel values, which stay when there is none.
Resolved Copy(const std::optional<CallsignReference>& answer) {
  Resolved r;
  if (!answer) return r;
  r.found = true;
  r.continent = answer->continent;
  r.dxccPrefix = answer->dxccPrefix;
  r.dxcc = answer->dxcc;
  r.mainPrefix = answer->mainPrefix;
  r.ituZone = answer->ituZone;
  r.cqZone = answer->cqZone;
  return r;
}

Resolved Resolve(const Dictionaries& dictionaries, std::u16string_view callsign) {
  return Copy(dictionaries.ResolveCallsign(callsign));
}

Resolved Scan(const Dictionaries& dictionaries, std::u16string_view callsign) {
  return Copy(ResolveCallsignByScan(dictionaries, callsign));
}

TUniqueCallField UniqueCall(std::u16string pattern, std::u16string dxcc = u"1") {
  TUniqueCallField entry;
  entry.Callsign = std::move(pattern);
  entry.DXCC = std::move(dxcc);
  return entry;
}
TProvinceField Province(std::u16string pattern, std::u16string dxcc = u"2") {
  TProvinceField entry;
  entry.PrefixList = std::move(pattern);
  entry.DXCC = std::move(dxcc);
  return entry;
}
TCountryField Country(std::u16string pattern, std::u16string dxcc = u"3") {
  TCountryField entry;
  entry.PrefixList = std::move(pattern);
  entry.DXCC = std::move(dxcc);
  return entry;
}

TEST(PatternShape, RecognisesOnlyCertainShapes) {
  using Kind = PatternShape::Kind;
  struct Row {
    const char16_t* pattern;
    Kind kind;
    const char16_t* literal;
  };
  const Row rows[] = {
      {u"K1ABC", Kind::Exact, u"K1ABC"},
      {u"^K1ABC$", Kind::Exact, u"K1ABC"},
      {u"K1ABC$", Kind::Exact, u"K1ABC"},
      {u"^VP2E\\/K1ABC$", Kind::Exact, u"VP2E/K1ABC"},
      {u"^DL\\$", Kind::Exact, u"DL$"},
      {u"^", Kind::Exact, u""},
      {u"^DL.*", Kind::Prefix, u"DL"},
      {u"DL.*$", Kind::Prefix, u"DL"},
      {u"^3D2\\.\\-.*", Kind::Prefix, u"3D2.-"},
      {u"K\\\\.*", Kind::Prefix, u"K\\"},
      {u".*", Kind::Prefix, u""},
      {u"K\\.*", Kind::Other, u""},  // "K" and any number of dots
      {u"K.*?", Kind::Other, u""},
      {u"K.*+", Kind::Other, u""},
      {u"K\\d.*", Kind::Other, u""},
      {u"^^K", Kind::Other, u""},
      {u"K$$", Kind::Other, u""},
      {u"K$.*", Kind::Other, u""},
      {u"K{2}", Kind::Other, u""},
      {u"K]", Kind::Other, u""},
      {u"K\\", Kind::Other, u""},
      {u"\\QK\\E", Kind::Other, u""},
      {u"(?i)K", Kind::Other, u""},
      {u"[^\\s\\S]", Kind::Other, u""},
      {u"", Kind::Other, u""},
  };
  for (const Row& row : rows) {
    const PatternShape shape = ShapeOfPattern(row.pattern);
    EXPECT_EQ(shape.kind, row.kind) << Utf16ToUtf8(row.pattern);
    EXPECT_EQ(shape.literal, row.literal) << Utf16ToUtf8(row.pattern);
  }
  EXPECT_EQ(ShapeOfPattern(u"^" + std::u16string(300, u'K') + u"$").kind, Kind::Other);
}

// The tests fill the three lists; each resolution is asked of dictionaries
// built from the lists as they are at that moment.
class CallsignResolution : public ::testing::Test {
 protected:
  void ClearAll() {
    UniqueCallList.clear();
    ProvinceList.clear();
    CountryList.clear();
  }
  Dictionaries Built() const { return Dictionaries(UniqueCallList, ProvinceList, CountryList); }
  Resolved Resolve(std::u16string_view callsign) const { return quillet::Resolve(Built(), callsign); }
  Resolved Scan(std::u16string_view callsign) const { return quillet::Scan(Built(), callsign); }

  TUniqueCallList UniqueCallList;
  TProvinceList ProvinceList;
  TCountryList CountryList;
};

TEST_F(CallsignResolution, FirstMatchMustCoverTheWholeCallsign) {
  struct Row {
    const char16_t* pattern;
    const char16_t* callsign;
    bool resolves;
  };
  const Row rows[] = {
      {u"K1ABC", u"K1ABC", true},
      {u"K1A", u"K1ABC", false},      // only a beginning
      {u"1ABC", u"K1ABC", false},     // starts after the first character
      {u"K|K1ABC", u"K1ABC", false},  // the first alternative wins with less
      {u"K1ABC|K", u"K1ABC", true},
      {u"K1A.*", u"K1ABC", true},  // greedy
      {u"K.*?", u"K1ABC", false},  // lazy stops after "K"
      {u"K.*?$", u"K1ABC", true},
      {u"K1[^x]*?$", u"K1ABC\n", true},  // "$" only at the very end
      {u"^K1ABC$", u"K1ABC", true},
      {u"K1ABC", u"k1abc", false},  // case-sensitive
      {u"[KW]\\d[A-Z]{2,3}", u"W1AW", true},
      {u"[KW]\\d[A-Z]{2,3}?", u"W1AWX", false},
      {u"\\x4B\\w+", u"K1ABC", true},
      {u"(?:VE|VA)[1-9].*", u"VA3XY", true},
      {u"X*", u"", true},  // the empty text, matched
      {u"K.*", u"", false},
      {u"K1ABC", u"XK1ABC", false},  // a literal found later in the text
      // The shapes looked up without the engine.
      {u"^K1ABC$", u"K1ABCD", false},
      {u"K1ABC$", u"XK1ABC", false},  // matches, but not from the start
      {u"^K1", u"K1ABC", false},
      {u"^K1", u"K1", true},
      {u"^K1.*", u"K1ABC/P", true},
      {u"K1.*", u"XK1ABC", false},
      {u"^K1.*$", u"K1", true},
      {u"^VP2E\\/K1ABC$", u"VP2E/K1ABC", true},
      {u"^VP2E\\/K1ABC$", u"VP2E\\/K1ABC", false},
      {u"K\\.\\-.*", u"K.-1", true},
      {u"K\\.*", u"K....", true},  // an escaped dot repeated: not a prefix shape
      {u"K\\.*", u"K1", false},
      {u"^DL\\$", u"DL$", true},
      {u"^.*", u"", true},
      {u".*", u"DL1ABC", true},
      {u"^", u"", true},
      {u"$", u"", true},
      {u"^", u"K", false},
  };
  for (const Row& row : rows) {
    UniqueCallList.clear();
    UniqueCallList.push_back(UniqueCall(row.pattern));
    EXPECT_EQ(Resolve(row.callsign).found, row.resolves) << Utf16ToUtf8(row.pattern);
    EXPECT_EQ(Scan(row.callsign).found, row.resolves) << Utf16ToUtf8(row.pattern);
  }
}

TEST_F(CallsignResolution, ListsAndEntriesAreTriedInOrder) {
  UniqueCallList = {UniqueCall(u""), UniqueCall(u"W1.*", u"10"), UniqueCall(u"W1AW", u"11")};
  ProvinceList = {Province(u"W1.*", u"20"), Province(u"K.*", u"21")};
  CountryList = {Country(u"[A-Z]\\d.*", u"30"), Country(u"K.*", u"31")};
  EXPECT_EQ(Resolve(u"W1AW").dxcc, u"10");
  EXPECT_EQ(Resolve(u"K1ABC").dxcc, u"21");
  EXPECT_EQ(Resolve(u"G4ABC").dxcc, u"30");
  UniqueCallList = {UniqueCall(u"W1AW", u"12"), UniqueCall(u"W1AW", u"13")};
  EXPECT_EQ(Resolve(u"W1AW").dxcc, u"12");
}

// Looked-up shapes and patterns run by the engine interleave in one list;
// the lowest entry that resolves wins whichever way it was found.
TEST_F(CallsignResolution, ShapedAndRunPatternsKeepListOrder) {
  struct Row {
    const char16_t* callsign;
    const char16_t* dxcc;
  };
  UniqueCallList = {UniqueCall(u"[KW]1ABC", u"0"), UniqueCall(u"^K1ABC$", u"1"), UniqueCall(u"K1.*", u"2"),
                    UniqueCall(u"^K1ABD$", u"3"),  UniqueCall(u"^K.*", u"4"),    UniqueCall(u"K\\d+", u"5"),
                    UniqueCall(u"K1ABD", u"6"),    UniqueCall(u"^.*$", u"7"),    UniqueCall(u"K\\s", u"8")};
  const Row rows[] = {{u"K1ABC", u"0"}, {u"W1ABC", u"0"}, {u"K1ABD", u"2"}, {u"K2", u"4"},
                      {u"G4ABC", u"7"}, {u"", u"7"},      {u"K ", u"4"}};
  for (const Row& row : rows) {
    const Resolved fast = Resolve(row.callsign);
    EXPECT_EQ(fast.dxcc, row.dxcc) << Utf16ToUtf8(row.callsign);
    EXPECT_EQ(Scan(row.callsign).dxcc, fast.dxcc) << Utf16ToUtf8(row.callsign);
  }
}

// "\\" before ASCII punctuation stands for the character itself, in both
// looked-up shapes.
TEST_F(CallsignResolution, EscapedPunctuationIsLiteral) {
  for (char16_t c = u'!'; c < 0x7F; ++c) {
    if (std::isalnum(c)) continue;
    const std::u16string escaped = std::u16string(u"\\") + c;
    UniqueCallList = {UniqueCall(u"^K" + escaped + u"1$", u"1")};
    ProvinceList = {Province(u"K" + escaped + u".*", u"2")};
    CountryList = {};
    const std::u16string text(1, c);
    EXPECT_EQ(Resolve(u"K" + text + u"1").dxcc, u"1") << Utf16ToUtf8(text);
    EXPECT_EQ(Resolve(u"K" + text + u"1X").dxcc, u"2") << Utf16ToUtf8(text);
    EXPECT_FALSE(Resolve(u"KX1").found) << Utf16ToUtf8(text);
    for (const char16_t* call : {u"K", u"K1", u"KK1"}) {
      const std::u16string callsign = call + text + u"1";
      EXPECT_EQ(Resolve(callsign).dxcc, Scan(callsign).dxcc) << Utf16ToUtf8(callsign);
    }
  }
}

// Whether "." stops at CR, LF or other units depends on how the engine was
// built, so across them the looked-up shapes must give the engine's answer.
TEST_F(CallsignResolution, LineBreaksGiveTheEnginesAnswer) {
  ProvinceList = {Province(u"^K1.*", u"1"), Province(u"K.*$", u"2"), Province(u"^.*", u"3"),
                  Province(u"^K1\r.*", u"4")};
  CountryList = {Country(u"[^\\s\\S]|.*", u"5")};
  const char16_t* const calls[] = {u"K1\nA", u"K1\rA",  u"K1A\r",  u"K1\r\n", u"K\nA",     u"\n",
                                   u"K1\r",  u"K1\x0b", u"K1\x0c", u"K1\x85", u"K1\u2028", u"K1\u2029"};
  for (const char16_t* call : calls) {
    const std::u16string callsign = call;
    const Resolved fast = Resolve(callsign);
    const Resolved scan = Scan(callsign);
    EXPECT_EQ(fast.found, scan.found) << Utf16ToUtf8(callsign);
    EXPECT_EQ(fast.dxcc, scan.dxcc) << Utf16ToUtf8(callsign);
  }
  const std::u16string withNul(u"K1\0A", 4);
  EXPECT_EQ(Resolve(withNul).dxcc, Scan(withNul).dxcc);
}

// The engine refuses patterns whose compiled form is too large; a literal
// that long must not be looked up as if it had compiled.
TEST_F(CallsignResolution, OverlongLiteralIsLeftToTheEngine) {
  const std::u16string call(70000, u'K');
  UniqueCallList = {UniqueCall(u"^" + call + u"$")};
  bool fastThrows = false, scanThrows = false;
  try {
    Resolve(call);
  } catch (const ERegExpr&) {
    fastThrows = true;
  }
  try {
    Scan(call);
  } catch (const ERegExpr&) {
    scanThrows = true;
  }
  EXPECT_EQ(fastThrows, scanThrows);
}

TEST_F(CallsignResolution, OutputsAreCutToTheirColumns) {
  TCountryField country = Country(u"G.*", u"12345678");
  country.Continent = u"EUR";
  country.ARRLPrefix = u"ABCDEF";
  country.ITUZone = u"271";
  country.CQZone = u"14";
  CountryList = {country};
  const Resolved r = Resolve(u"G4ABC");
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.continent, u"EU");
  EXPECT_EQ(r.dxccPrefix, u"ABCDE");
  EXPECT_EQ(r.mainPrefix, u"ABCDE");  // a country's main prefix is its ARRL prefix
  EXPECT_EQ(r.dxcc, u"12345678");
  EXPECT_EQ(r.ituZone, u"27");
  EXPECT_EQ(r.cqZone, u"14");

  TProvinceField province = Province(u"K1.*");
  province.ARRLPrefix = u"K";
  province.Prefix = u"K1";
  ProvinceList = {province};
  EXPECT_EQ(Resolve(u"K1ABC").mainPrefix, u"K1");
}

TEST_F(CallsignResolution, NoMatchLeavesTheOutputsUntouched) {
  const Resolved none = Resolve(u"K1ABC");
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.continent, u"c");
  UniqueCallList = {UniqueCall(u"W.*")};
  const Resolved r = Resolve(u"K1ABC");
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.dxcc, u"n");
  EXPECT_EQ(r.cqZone, u"q");
}

TEST_F(CallsignResolution, BadPatternRaisesWhenItsTurnComes) {
  UniqueCallList = {UniqueCall(u"K1ABC"), UniqueCall(u"W(1")};
  EXPECT_TRUE(Resolve(u"K1ABC").found);
  EXPECT_TRUE(Scan(u"K1ABC").found);
  try {
    Resolve(u"W1AW");
    FAIL() << "no exception";
  } catch (const ERegExpr& error) {
    EXPECT_NE(Utf16ToUtf8(error.Message).find("missing closing parenthesis"), std::string::npos);
  }
  EXPECT_THROW(Scan(u"W1AW"), ERegExpr);

  // Behind a looked-up winner the bad pattern is never reached; before it,
  // it raises.
  UniqueCallList = {UniqueCall(u"^W.*"), UniqueCall(u"W(1")};
  EXPECT_TRUE(Resolve(u"W1AW").found);
  UniqueCallList = {UniqueCall(u"W(1"), UniqueCall(u"^W1AW$")};
  EXPECT_THROW(Resolve(u"W1AW"), ERegExpr);
  EXPECT_THROW(Resolve(u"K1ABC"), ERegExpr);
}

// Dictionaries keep copies of the lists they were built from.
TEST_F(CallsignResolution, ChangedPatternsAreNotServedFromTheCompiledState) {
  UniqueCallList = {UniqueCall(u"K1ABC")};
  const Dictionaries before = Built();
  EXPECT_TRUE(Resolve(u"K1ABC").found);
  UniqueCallList[0].Callsign = u"W1AW";
  EXPECT_FALSE(Resolve(u"K1ABC").found);
  EXPECT_TRUE(quillet::Resolve(before, u"K1ABC").found);
  UniqueCallList[0].Callsign = u"K.*";
  EXPECT_TRUE(Resolve(u"K1ABC").found);
  UniqueCallList.push_back(UniqueCall(u"G4ABC"));
  EXPECT_TRUE(Resolve(u"G4ABC").found);
}

// Random callsigns and pattern lists of every shape the fast path treats
// differently: literals (also duplicated), the looked-up shapes with and
// without anchors and escapes, classes, alternations whose first
// alternative covers only a beginning, lazy repetitions, and patterns that
// can match the empty text. Some callsigns hold "/", "." or a line break.
class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  std::u16string Callsign() {
    static const char* const prefixes[] = {"K",  "W",  "N",  "AA", "VE",  "G",
                                           "DL", "JA", "UA", "9A", "3D2", "k"};
    static const char* const suffixes[] = {"/P", "/1", ".", "-9"};
    std::string call = Pick(prefixes) + std::to_string(Below(10));
    for (int i = 0, n = 1 + Below(3); i < n; ++i) call += static_cast<char>('A' + Below(26));
    if (Below(6) == 0) call += Pick(suffixes);
    if (Below(30) == 0) call.insert(Below(static_cast<int>(call.size()) + 1), Below(2) ? "\n" : "\r");
    if (Below(50) == 0) call.clear();
    return Ascii(call);
  }

  std::u16string Pattern(const std::vector<std::u16string>& calls) {
    std::u16string call = calls[Below(static_cast<int>(calls.size()))];
    if (call.empty()) call = u"K1ABC";
    const std::u16string head = call.substr(0, 1 + Below(3));
    switch (Below(21)) {
      case 0:
        return call;
      case 1:
        return u"^" + head + u"[0-9]";
      case 2:
        return head + u".*";
      case 3:
        return u"(K|W|N)[0-9].*";
      case 4:
        return head + u".*?";
      case 5:
        return head + u"|" + call;
      case 6:
        return u"[A-Z]{0,2}" + head.substr(1) + u"\\d[A-Z]+";
      case 7:
        return u"^" + head + u"\\d[A-Z]{1,3}?$";
      case 8:
        return u"X?";
      case 9:
        return u"[^K]" + call.substr(1);
      case 10:
        return u"(?:" + head + u"|DL)\\d.*";
      case 11:
        return head + u"\\w{2}";
      case 12:
        return u".*" + call.substr(call.size() / 2);
      case 13:
        return Escaped(call) + u"$";
      case 14:
      case 15:
        return u"^" + Escaped(call) + u"$";
      case 16:
      case 17:
        return u"^" + Escaped(head) + u".*";
      case 18:
        return Escaped(head) + u".*$";
      case 19:
        return u"^" + Escaped(head) + u".*$";
      default:
        return u"^" + Escaped(call);
    }
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  template <std::size_t N>
  std::string Pick(const char* const (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }
  // Metacharacters escaped; "/" and "-" escaped or not.
  std::u16string Escaped(std::u16string_view text) {
    std::u16string escaped;
    for (const char16_t c : text) {
      const bool meta = std::u16string_view(u"\\^$.|?*+()[]{}").find(c) != std::u16string_view::npos;
      if (meta || ((c == u'/' || c == u'-') && Below(2) == 0)) escaped += u'\\';
      escaped += c;
    }
    return escaped;
  }
  std::mt19937 random_;
};

// Seeds 4 and 5 put catch-all patterns ("^.*", ".*") among the others.
TEST_F(CallsignResolution, FastPathAgreesWithTheScan) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    Generator generate(seed);
    std::vector<std::u16string> calls;
    for (int i = 0; i < 800; ++i) calls.push_back(generate.Callsign());
    ClearAll();
    for (int i = 0; i < 60; ++i) UniqueCallList.push_back(UniqueCall(generate.Pattern(calls), IntToText(i)));
    for (int i = 0; i < 30; ++i)
      ProvinceList.push_back(Province(generate.Pattern(calls), IntToText(100 + i)));
    for (int i = 0; i < 30; ++i) CountryList.push_back(Country(generate.Pattern(calls), IntToText(200 + i)));
    if (seed >= 4) {
      ProvinceList[15].PrefixList = u"^.*";
      CountryList[10].PrefixList = u".*";
    }
    const Dictionaries dictionaries = Built();
    int found = 0;
    for (const std::u16string& call : calls) {
      const Resolved fast = quillet::Resolve(dictionaries, call);
      const Resolved scan = quillet::Scan(dictionaries, call);
      ASSERT_EQ(fast.found, scan.found) << Utf16ToUtf8(call);
      ASSERT_EQ(fast.dxcc, scan.dxcc) << Utf16ToUtf8(call);
      found += fast.found;
    }
    EXPECT_GT(found, 100);  // the lists must actually resolve calls
    if (seed < 4) {
      EXPECT_LT(found, 800) << seed;
    }
  }
}

}  // namespace
}  // namespace quillet
