// Callsign resolution: the first-match rule, the order of the lists and of
// their entries, the outputs, and the compiled fast path against the
// straightforward scan.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "logmodel/callsign_resolution.h"
#include "logmodel/compiled_pattern.h"
#include "logmodel/dictionaries.h"
#include "runtime/text.h"

namespace quillet {
namespace {

struct Resolved {
  bool found = false;
  std::u16string continent = u"c", dxccPrefix = u"d", dxcc = u"n", mainPrefix = u"m", ituZone = u"i",
                 cqZone = u"q";
};

Resolved Resolve(std::u16string_view callsign) {
  Resolved r;
  r.found = ResolveCallsign(callsign, r.continent, r.dxccPrefix, r.dxcc, r.mainPrefix, r.ituZone, r.cqZone);
  return r;
}

Resolved Scan(std::u16string_view callsign) {
  Resolved r;
  r.found =
      ResolveCallsignByScan(callsign, r.continent, r.dxccPrefix, r.dxcc, r.mainPrefix, r.ituZone, r.cqZone);
  return r;
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

class CallsignResolution : public ::testing::Test {
 protected:
  void SetUp() override { ClearAll(); }
  void TearDown() override { ClearAll(); }
  static void ClearAll() {
    ClearUniqueCalls(UniqueCallList);
    ClearProvinces(ProvinceList);
    ClearCountries(CountryList);
  }
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
  };
  for (const Row& row : rows) {
    ClearUniqueCalls(UniqueCallList);
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
}

TEST_F(CallsignResolution, ChangedPatternsAreNotServedFromTheCompiledState) {
  UniqueCallList = {UniqueCall(u"K1ABC")};
  EXPECT_TRUE(Resolve(u"K1ABC").found);
  UniqueCallList[0].Callsign = u"W1AW";  // in place: same length, same storage
  EXPECT_FALSE(Resolve(u"K1ABC").found);
  UniqueCallList[0].Callsign = u"K.*";
  InvalidateCallsignPatterns();
  EXPECT_TRUE(Resolve(u"K1ABC").found);
  UniqueCallList.push_back(UniqueCall(u"G4ABC"));
  EXPECT_TRUE(Resolve(u"G4ABC").found);
}

// Random callsigns and pattern lists of every shape the fast path treats
// differently: literals (also duplicated), anchors, classes, alternations
// whose first alternative covers only a beginning, lazy repetitions, and
// patterns that can match the empty text.
class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  std::u16string Callsign() {
    static const char* const prefixes[] = {"K",  "W",  "N",  "AA", "VE",  "G",
                                           "DL", "JA", "UA", "9A", "3D2", "k"};
    std::string call = Pick(prefixes) + std::to_string(Below(10));
    for (int i = 0, n = 1 + Below(3); i < n; ++i) call += static_cast<char>('A' + Below(26));
    if (Below(8) == 0) call += "/P";
    if (Below(50) == 0) call.clear();
    return Ascii(call);
  }

  std::u16string Pattern(const std::vector<std::u16string>& calls) {
    std::u16string call = calls[Below(static_cast<int>(calls.size()))];
    if (call.empty()) call = u"K1ABC";
    const std::u16string head = call.substr(0, 1 + Below(3));
    switch (Below(14)) {
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
      default:
        return call + u"$";
    }
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  template <std::size_t N>
  std::string Pick(const char* const (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }
  std::mt19937 random_;
};

TEST_F(CallsignResolution, FastPathAgreesWithTheScan) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    Generator generate(seed);
    std::vector<std::u16string> calls;
    for (int i = 0; i < 800; ++i) calls.push_back(generate.Callsign());
    ClearUniqueCalls(UniqueCallList);
    ClearProvinces(ProvinceList);
    ClearCountries(CountryList);
    for (int i = 0; i < 60; ++i) UniqueCallList.push_back(UniqueCall(generate.Pattern(calls), IntToText(i)));
    for (int i = 0; i < 30; ++i)
      ProvinceList.push_back(Province(generate.Pattern(calls), IntToText(100 + i)));
    for (int i = 0; i < 30; ++i) CountryList.push_back(Country(generate.Pattern(calls), IntToText(200 + i)));
    int found = 0;
    for (const std::u16string& call : calls) {
      const Resolved fast = Resolve(call);
      const Resolved scan = Scan(call);
      ASSERT_EQ(fast.found, scan.found) << Utf16ToUtf8(call);
      ASSERT_EQ(fast.dxcc, scan.dxcc) << Utf16ToUtf8(call);
      found += fast.found;
    }
    EXPECT_GT(found, 100);  // the lists must actually resolve calls
    EXPECT_LT(found, 800);
  }
}

}  // namespace
}  // namespace quillet
