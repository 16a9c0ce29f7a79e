#include "host/store/dictionary_derivation.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillet::host {
namespace {

// A WAE-only area before its DXCC entity, a primary prefix that a shorter
// non-primary prefix ("R") begins, overrides, a duplicate exact call.
constexpr const char* kFile =
    "*IT9,Sicily,248,EU,15,28,0,0,0,IT9 =IT9ABC;\n"
    "I,Italy,248,EU,15,28,0,0,0,I IT9Z =IT9ABC(99);\n"
    "K,United States,291,NA,5,8,0,0,0,K KH0(27)[64] =KH6XYZ/P[61];\n"
    "KH6,Hawaii,110,OC,31,61,0,0,0,KH6 KH7;\n"
    "UA,European Russia,54,EU,16,29,0,0,0,UA R{AS};\n"
    "R1FJ,Franz Josef Land,61,EU,40,75,0,0,0,R1FJ;\n"
    "1S,Spratly Islands,247,AS,26,50,0,0,0,9M0 =9M4SDX;\n"
    "3D2/c,Conway Reef,489,OC,32,56,0,0,0,=3D2CR;\n";

const DictionaryRow* Find(const std::vector<DictionaryRow>& rows, const std::string& pattern) {
  auto found = std::find_if(rows.begin(), rows.end(),
                            [&](const DictionaryRow& row) { return row.pattern == pattern; });
  return found == rows.end() ? nullptr : &*found;
}

std::vector<std::string> Patterns(const std::vector<DictionaryRow>& rows) {
  std::vector<std::string> patterns;
  for (const DictionaryRow& row : rows) patterns.push_back(row.pattern);
  return patterns;
}

TEST(DictionaryDerivation, PlacesAndOrdersPrefixes) {
  const DictionaryRows rows = DeriveDictionaryRows(ParseCtyText(kFile));
  // Longer first, file order among equal lengths; R1FJ stays in PROVINCE
  // because the PROVINCE prefix R begins it.
  EXPECT_EQ(Patterns(rows.provinces),
            (std::vector<std::string>{"^IT9Z.*", "^R1FJ.*", "^IT9.*", "^KH0.*", "^KH7.*", "^9M0.*", "^R.*"}));
  EXPECT_EQ(Patterns(rows.countries), (std::vector<std::string>{"^KH6.*", "^UA.*", "^I.*", "^K.*"}));
}

TEST(DictionaryDerivation, AttributesOfPrefixRows) {
  const DictionaryRows rows = DeriveDictionaryRows(ParseCtyText(kFile));
  const DictionaryRow* sicily = Find(rows.provinces, "^IT9.*");
  ASSERT_NE(sicily, nullptr);
  EXPECT_EQ(sicily->arrlPrefix, "I");  // the DXCC entity's, though the area comes first
  EXPECT_EQ(sicily->prefix, "IT9");
  EXPECT_EQ(sicily->dxcc, 248);
  const DictionaryRow* mariana = Find(rows.provinces, "^KH0.*");
  ASSERT_NE(mariana, nullptr);
  EXPECT_EQ(mariana->continent, "NA");
  EXPECT_EQ(mariana->cqZone, 27);
  EXPECT_EQ(mariana->ituZone, 64);
  const DictionaryRow* asianR = Find(rows.provinces, "^R.*");
  ASSERT_NE(asianR, nullptr);
  EXPECT_EQ(asianR->continent, "AS");
  EXPECT_EQ(asianR->arrlPrefix, "UA");
  const DictionaryRow* hawaii = Find(rows.countries, "^KH6.*");
  ASSERT_NE(hawaii, nullptr);
  EXPECT_EQ(hawaii->arrlPrefix, "KH6");
  EXPECT_EQ(hawaii->dxcc, 110);
  EXPECT_EQ(hawaii->ituZone, 61);
}

TEST(DictionaryDerivation, ExactCallsKeepFileOrderAndFirstOccurrence) {
  const DictionaryRows rows = DeriveDictionaryRows(ParseCtyText(kFile));
  EXPECT_EQ(Patterns(rows.uniqueCalls),
            (std::vector<std::string>{"^IT9ABC$", "^KH6XYZ/P$", "^9M4SDX$", "^3D2CR$"}));
  const DictionaryRow& sicilyCall = rows.uniqueCalls[0];
  EXPECT_EQ(sicilyCall.cqZone, 15);  // the second, overridden entry does not count
  EXPECT_EQ(sicilyCall.prefix, "IT9");
  const DictionaryRow& portable = rows.uniqueCalls[1];
  EXPECT_EQ(portable.prefix, "K");  // the longest own prefix it begins with
  EXPECT_EQ(portable.ituZone, 61);
  EXPECT_EQ(portable.cqZone, 5);
  EXPECT_EQ(rows.uniqueCalls[2].prefix, "1S");  // no own prefix begins it
  EXPECT_EQ(rows.uniqueCalls[3].arrlPrefix, "3D2");
  EXPECT_EQ(rows.uniqueCalls[3].dxcc, 489);
}

TEST(DictionaryDerivation, EveryTableGetsARow) {
  const DictionaryRows callsOnly =
      DeriveDictionaryRows(ParseCtyText("3D2/c,Conway Reef,489,OC,32,56,0,0,0,=3D2CR;"));
  EXPECT_EQ(Patterns(callsOnly.provinces), (std::vector<std::string>{std::string(kMatchesNothing)}));
  EXPECT_EQ(Patterns(callsOnly.countries), (std::vector<std::string>{std::string(kMatchesNothing)}));
  // No prefix is its entity's DXCC prefix: the shortest moves to COUNTRY.
  const DictionaryRows noPrimary =
      DeriveDictionaryRows(ParseCtyText("1S,Spratly Islands,247,AS,26,50,0,0,0,9M0 BM9S;"));
  EXPECT_EQ(Patterns(noPrimary.provinces), (std::vector<std::string>{"^BM9S.*"}));
  EXPECT_EQ(Patterns(noPrimary.countries), (std::vector<std::string>{"^9M0.*"}));
  EXPECT_EQ(Patterns(noPrimary.uniqueCalls), (std::vector<std::string>{std::string(kMatchesNothing)}));
}

TEST(DictionaryDerivation, PatternsEscapeMetacharacters) {
  EXPECT_EQ(ExactCallPattern("K1ABC/P"), "^K1ABC/P$");
  EXPECT_EQ(ExactCallPattern("A.B+C"), "^A\\.B\\+C$");
  EXPECT_EQ(PrefixPattern("D(L)"), "^D\\(L\\).*");
}

}  // namespace
}  // namespace quillet::host
