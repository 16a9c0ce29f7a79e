#include "host/cli/dictionary_lookup.h"

#include <gtest/gtest.h>

#include "host/base/host_error.h"
#include "host/base/text.h"

namespace quillet::host {
namespace {

DictionaryEntry Entry(std::int64_t id, std::string pattern, std::string arrlPrefix = "X") {
  return DictionaryEntry{id,
                         std::move(pattern),
                         "EU",
                         std::move(arrlPrefix),
                         "P" + std::to_string(id),
                         std::to_string(id),
                         "28",
                         "14"};
}

// The entries derived rows become once stored and loaded, IDs from 1.
DictionaryEntries EntriesOf(const DictionaryRows& rows) {
  auto convert = [](const std::vector<DictionaryRow>& source, bool withPrefix) {
    std::vector<DictionaryEntry> entries;
    for (const DictionaryRow& row : source) {
      entries.push_back({static_cast<std::int64_t>(entries.size() + 1), row.pattern, row.continent,
                         row.arrlPrefix, withPrefix ? row.prefix : std::string(), std::to_string(row.dxcc),
                         std::to_string(row.ituZone), std::to_string(row.cqZone)});
    }
    return entries;
  };
  return {convert(rows.uniqueCalls, true), convert(rows.provinces, true), convert(rows.countries, false)};
}

std::optional<std::int64_t> MatchedId(const DictionaryEntries& entries, std::string_view callsign) {
  std::optional<Resolution> found = DictionaryLookup(entries).Resolve(callsign);
  return found ? std::optional<std::int64_t>(found->id) : std::nullopt;
}

TEST(DictionaryLookup, FirstMatchMustCoverTheWholeCallsign) {
  struct Case {
    const char* pattern;
    const char* callsign;
    bool matches;
  };
  const Case cases[] = {
      {"^DL.*", "DL1ABC", true},
      {"DL", "DL1ABC", false},         // only the beginning
      {"1ABC", "DL1ABC", false},       // only after the first character
      {"DL|DL1ABC", "DL1ABC", false},  // first alternative matches less
      {"DL1ABC|DL", "DL1ABC", true},
      {"^(DL|DL1ABC)$", "DL1ABC", true},  // backtracking to the end
      {"^dl.*", "DL1ABC", false},         // case-sensitive
      {"[A-Z]+\\d[A-Z]{1,3}", "DL1ABC", true},
      {"\\x44L.*?", "DL1ABC", false},  // non-greedy stops at DL
      {"^$", "", true},
      {"^.*", "", true},
      {"^D.*", "", false},
  };
  for (const Case& c : cases) {
    DictionaryEntries entries;
    entries.provinces = {Entry(7, c.pattern)};
    EXPECT_EQ(MatchedId(entries, c.callsign).has_value(), c.matches) << c.pattern << " on " << c.callsign;
  }
}

TEST(DictionaryLookup, TablesInOrderThenLowestId) {
  DictionaryEntries entries;
  entries.uniqueCalls = {Entry(5, "^K1ABC$")};
  entries.provinces = {Entry(1, "^K1.*"), Entry(2, "^K.*"), Entry(3, "(?i)^k.*")};
  entries.countries = {Entry(9, "^K.*"), Entry(10, "^W.*")};
  EXPECT_EQ(MatchedId(entries, "K1ABC"), 5);
  EXPECT_EQ(MatchedId(entries, "K1XYZ"), 1);
  EXPECT_EQ(MatchedId(entries, "K2XYZ"), 2);
  EXPECT_EQ(MatchedId(entries, "k2xyz"), 3);  // inline options are honoured
  EXPECT_EQ(MatchedId(entries, "W2XYZ"), 10);
  EXPECT_EQ(MatchedId(entries, "VE3XYZ"), std::nullopt);
  EXPECT_EQ(MatchedId(DictionaryEntries{}, "K1ABC"), std::nullopt);
}

TEST(DictionaryLookup, ValuesCutToColumnWidths) {
  DictionaryEntries entries;
  entries.provinces = {DictionaryEntry{4, "^VE2.*", "NAX", "VE234X", "VE2345", "1", "040", "0051"}};
  entries.countries = {DictionaryEntry{8, "^VE.*", "NA", "VE", "ignored", "291", "9", "5"}};
  const auto province = DictionaryLookup(entries).Resolve("VE2ABC");
  ASSERT_TRUE(province.has_value());
  EXPECT_EQ(province->table, DictionaryTable::Province);
  EXPECT_EQ(province->continent, "NA");
  EXPECT_EQ(province->dxccPrefix, "VE234");
  EXPECT_EQ(province->mainPrefix, "VE234");
  EXPECT_EQ(province->dxcc, "1");
  EXPECT_EQ(province->ituZone, "04");
  EXPECT_EQ(province->cqZone, "00");
  const auto country = DictionaryLookup(entries).Resolve("VE3ABC");
  ASSERT_TRUE(country.has_value());
  EXPECT_EQ(country->mainPrefix, "VE");  // COUNTRY: the DXCC prefix serves
  EXPECT_EQ(country->dxcc, "291");
}

TEST(DictionaryLookup, RefusedPatternNamesItsRow) {
  DictionaryEntries entries;
  entries.countries = {Entry(1, "^K.*"), Entry(42, "^(K")};
  try {
    DictionaryLookup resolver(entries);
    ADD_FAILURE() << "no error";
  } catch (const HostError& error) {
    EXPECT_NE(std::string(error.what()).find("COUNTRY row 42"), std::string::npos) << error.what();
  }
}

TEST(DictionaryLookup, DerivedRowsBecomeEntriesAsLoaded) {
  DictionaryRows rows;
  rows.uniqueCalls = {DictionaryRow{"^K1ABC$", "NA", "K", "K", 291, 8, 5}};
  rows.countries = {DictionaryRow{"^K.*", "NA", "K", "unused", 291, 8, 5}};
  const DictionaryEntries entries = EntriesOf(rows);
  ASSERT_EQ(entries.uniqueCalls.size(), 1u);
  EXPECT_EQ(entries.uniqueCalls[0].id, 1);
  EXPECT_EQ(entries.uniqueCalls[0].dxcc, "291");
  EXPECT_EQ(entries.uniqueCalls[0].ituZone, "8");
  EXPECT_EQ(entries.countries[0].prefix, "");
}

// The module's own object over the same rows: its answer is the one the
// lookup must show, table order included.
Dictionaries ModuleDictionaries(const DictionaryEntries& entries) {
  TUniqueCallList uniqueCalls;
  for (const DictionaryEntry& row : entries.uniqueCalls) uniqueCalls.push_back(UniqueCallOf(row));
  TProvinceList provinces;
  for (const DictionaryEntry& row : entries.provinces) provinces.push_back(ProvinceOf(row));
  TCountryList countries;
  for (const DictionaryEntry& row : entries.countries) countries.push_back(CountryOf(row));
  return Dictionaries(std::move(uniqueCalls), std::move(provinces), std::move(countries));
}

TEST(DictionaryLookup, ShowsTheModulesAnswer) {
  DictionaryEntries entries;
  entries.uniqueCalls = {Entry(5, "^K1ABC$", "K")};
  entries.provinces = {DictionaryEntry{4, "^VE2.*", "NAX", "VE234X", "VE2345", "1", "040", "0051"},
                       Entry(1, "^K1.*"), Entry(2, "K|K1XYZ")};
  entries.countries = {DictionaryEntry{8, "^VE.*", "NA", "VE", "ignored", "291", "9", "5"}, Entry(9, "^K.*")};
  const DictionaryLookup lookup(entries);
  const Dictionaries module = ModuleDictionaries(entries);
  for (const char* call : {"K1ABC", "K1XYZ", "K2XYZ", "VE2ABC", "VE3ABC", "W1AW", ""}) {
    const std::optional<Resolution> shown = lookup.Resolve(call);
    const std::optional<CallsignReference> expected = module.ResolveCallsign(Utf16(call));
    ASSERT_EQ(shown.has_value(), expected.has_value()) << call;
    if (!shown) continue;
    EXPECT_EQ(shown->continent, Utf8(expected->continent)) << call;
    EXPECT_EQ(shown->dxccPrefix, Utf8(expected->dxccPrefix)) << call;
    EXPECT_EQ(shown->dxcc, Utf8(expected->dxcc)) << call;
    EXPECT_EQ(shown->mainPrefix, Utf8(expected->mainPrefix)) << call;
    EXPECT_EQ(shown->ituZone, Utf8(expected->ituZone)) << call;
    EXPECT_EQ(shown->cqZone, Utf8(expected->cqZone)) << call;
  }
}

}  // namespace
}  // namespace quillet::host
