// The rows derived from the real country file, stored and resolved by the
// module's rule, against the country file's own rule (country_file_rule.h),
// written out independently of the derivation.
//
// The module's rows are prefix patterns over the callsign as written, so a
// location after the slash (K1ABC/KH6) is beyond them: they resolve the home
// call. Those forms are counted apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "host/cli/dictionary_lookup.h"
#include "host/store/cty_file.h"
#include "host/store/dictionary_derivation.h"
#include "host/store/dictionary_store.h"
#include "tests/host/country_file_rule.h"
#include "tests/host/test_database.h"

namespace quillet::host {
namespace {

using testing::Answer;
using testing::CountryFile;
using testing::ModuleValues;

std::string Describe(const std::optional<Resolution>& r) {
  if (!r) return "none";
  return std::string(TableName(r->table)) + " row " + std::to_string(r->id) + " " + r->mainPrefix + " " +
         r->continent + " " + r->dxccPrefix + " " + r->dxcc + " itu " + r->ituZone + " cq " + r->cqZone;
}

std::optional<ModuleValues> ValuesOf(const std::optional<Resolution>& r) {
  if (!r) return std::nullopt;
  return ModuleValues{r->continent, r->dxccPrefix, r->dxcc, r->mainPrefix, r->ituZone, r->cqZone};
}

class CountryFileRule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::filesystem::exists(QUILLET_CTY_FILE)) return;
    database_ = new testing::TestDatabase();
    counts_ = ReplaceDictionaries(database_->get(), DeriveDictionaryRows(ReadCtyFile(QUILLET_CTY_FILE)));
    resolver_ = new DictionaryLookup(ReadDictionaryEntries(database_->get(), LocalDayText()));
  }
  static void TearDownTestSuite() {
    delete resolver_;
    delete database_;
  }
  void SetUp() override {
    if (resolver_ == nullptr) GTEST_SKIP() << QUILLET_CTY_FILE << " is not installed";
  }

  static testing::TestDatabase* database_;
  static DictionaryLookup* resolver_;
  static DictionaryCounts counts_;
};

testing::TestDatabase* CountryFileRule::database_ = nullptr;
DictionaryLookup* CountryFileRule::resolver_ = nullptr;
DictionaryCounts CountryFileRule::counts_;

TEST_F(CountryFileRule, ModuleRuleOverDerivedRowsAgreesWithTheFilesRule) {
  const CountryFile file = testing::ReadCountryFile(QUILLET_CTY_FILE);
  std::cout << "rows: UNIQUECALL " << counts_.uniqueCalls << ", PROVINCE " << counts_.provinces
            << ", COUNTRY " << counts_.countries << "\n";
  std::size_t total = 0;
  std::size_t agreed = 0;
  // Every call with the file rule's answer, for a run through the module.
  std::ofstream listing(std::string(QUILLET_BINARY_DIR) + "/host_dictionary_corpus.csv");
  listing << "category,call,continent,dxccPrefix,dxcc,ituZone,cqZone,decidedBy\n";
  for (const auto& [category, calls] : testing::Corpus(file, QUILLET_TEST_DATA)) {
    std::size_t categoryAgreed = 0;
    std::vector<std::string> disagreements;
    for (const std::string& call : calls) {
      const std::optional<Answer> expected = testing::ResolveByFileRule(file, call);
      const std::optional<Resolution> actual = resolver_->Resolve(call);
      if (expected) {
        listing << category << ',' << call << ',' << expected->continent << ',' << expected->dxccPrefix << ','
                << expected->dxcc << ',' << expected->ituZone << ',' << expected->cqZone << ','
                << expected->item << '\n';
      }
      if (testing::Agree(file, call, expected, ValuesOf(actual))) {
        ++categoryAgreed;
        continue;
      }
      disagreements.push_back(call + ": file " + Describe(expected) + " / module " + Describe(actual));
      // Every disagreement is a location after the slash.
      EXPECT_TRUE(testing::LocationOf(call).second) << disagreements.back();
    }
    std::cout << category << ": " << categoryAgreed << " of " << calls.size() << " agree\n";
    for (std::size_t i = 0; i < disagreements.size() && i < 12; ++i)
      std::cout << "  " << disagreements[i] << "\n";
    if (category.find("(apart)") != std::string::npos) continue;
    total += calls.size();
    agreed += categoryAgreed;
  }
  const double agreement = 100.0 * static_cast<double>(agreed) / static_cast<double>(total);
  std::cout << "agreement: " << agreed << " of " << total << " calls, " << agreement << " %\n";
  EXPECT_GE(agreement, 99.9);
}

// Checked by hand against the lines of cty.csv (2023-05 edition): DL, K
// ("K0(4)[7]"), VE ("VE2[4]"), KH6, UA9 (item "UA9", and "U" belongs to
// European Russia), *IT9 and *TA1 (WAE areas of 248 I and 390 TA), 3D2/c
// ("=3D2CR"), *4U1V ("=4U1A", listed before OE of the same number 206).
TEST_F(CountryFileRule, SpotChecks) {
  struct Case {
    const char* callsign;
    DictionaryTable table;
    const char* continent;
    const char* dxccPrefix;
    const char* dxcc;
    const char* mainPrefix;
    const char* ituZone;
    const char* cqZone;
  };
  using enum DictionaryTable;
  const Case cases[] = {
      {"DL1ABC", Country, "EU", "DL", "230", "DL", "28", "14"},
      {"DL/K1ABC", Country, "EU", "DL", "230", "DL", "28", "14"},
      {"K1ABC/P", Country, "NA", "K", "291", "K", "8", "5"},
      {"K0ABC", Province, "NA", "K", "291", "K0", "7", "4"},
      {"VE2ABC", Province, "NA", "VE", "1", "VE2", "4", "5"},
      {"KH6ZZZ", Country, "OC", "KH6", "110", "KH6", "61", "31"},
      {"UA9ABC", Province, "AS", "UA9", "15", "UA9", "30", "17"},
      {"IT9ABC", Province, "EU", "I", "248", "IT9", "28", "15"},
      {"TA1AB", Province, "EU", "TA", "390", "TA1", "39", "20"},
      {"3D2CR", UniqueCall, "OC", "3D2", "489", "3D2", "56", "32"},
      {"4U1A", UniqueCall, "EU", "OE", "206", "4U1V", "28", "15"},
  };
  for (const Case& c : cases) {
    const std::optional<Resolution> r = resolver_->Resolve(c.callsign);
    ASSERT_TRUE(r.has_value()) << c.callsign;
    EXPECT_EQ(r->table, c.table) << c.callsign;
    EXPECT_EQ(r->continent + " " + r->dxccPrefix + " " + r->dxcc + " " + r->mainPrefix + " " + r->ituZone +
                  " " + r->cqZone,
              std::string(c.continent) + " " + c.dxccPrefix + " " + c.dxcc + " " + c.mainPrefix + " " +
                  c.ituZone + " " + c.cqZone)
        << c.callsign;
  }
}

}  // namespace
}  // namespace quillet::host
