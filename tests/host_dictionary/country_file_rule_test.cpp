// The rows derived from the real country file, stored and resolved by the
// module's rule, against the country file's own rule written out here
// independently of the derivation:
//
//  1. A callsign listed exactly ("=CALL") resolves to that entry, as written
//     (the file lists the portable forms that matter, "=3D2AG/P").
//  2. Otherwise the longest listed prefix of the callsign's location part
//     decides, with that prefix's own zones and continent:
//     - trailing operating marks are dropped: /P, /M, /MM, /AM, /QRP, /A and
//       a call-area digit (/4), which is not interpreted;
//     - of two parts left, the shorter is the location: DL/K1ABC is in
//       Germany, K1ABC/KH6 in Hawaii (the first when both are as long);
//     - otherwise the whole callsign.
//  Where an item occurs twice, the first in file order counts.
//
// The module's rows are prefix patterns over the callsign as written, so a
// location after the slash (K1ABC/KH6) is beyond them: they resolve the home
// call. Those forms are counted apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <unordered_map>

#include "host/dictionary/cty_file.h"
#include "host/dictionary/dictionary_derivation.h"
#include "host/dictionary/dictionary_resolver.h"
#include "host/dictionary/dictionary_store.h"
#include "host_dictionary/test_database.h"

namespace quillet::host {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
  return parts;
}

// --- the country file's own rule -----------------------------------------

struct Answer {
  std::string continent;
  std::string dxccPrefix;
  int dxcc = 0;
  int ituZone = 0;
  int cqZone = 0;
  std::string item;  // the prefix or callsign that decided
};

struct CountryFile {
  std::unordered_map<std::string, Answer> exact;
  std::unordered_map<std::string, Answer> prefixes;
  std::vector<std::vector<std::string>> entityPrefixes;  // per entity, file order
};

std::string Between(const std::string& text, char open, char close) {
  std::size_t start = text.find(open);
  return start == std::string::npos ? "" : text.substr(start + 1, text.find(close, start + 1) - start - 1);
}

CountryFile ReadCountryFile(const std::string& path) {
  CountryFile file;
  std::map<int, std::string> dxccPrefixes;
  std::vector<std::vector<std::string>> lines;
  for (const std::string& line : Split(ReadAll(path), '\n')) {
    if (line.find(';') != std::string::npos) lines.push_back(Split(line, ','));
  }
  for (const auto& f : lines) {
    if (f[0][0] != '*') dxccPrefixes.try_emplace(std::stoi(f[2]), f[0].substr(0, f[0].find('/')));
  }
  for (const auto& f : lines) {
    const Answer entity{f[3], dxccPrefixes.at(std::stoi(f[2])), std::stoi(f[2]), std::stoi(f[5]), std::stoi(f[4]), ""};
    file.entityPrefixes.emplace_back();
    for (const std::string& word : Split(f[9].substr(0, f[9].find(';')), ' ')) {
      Answer answer = entity;
      bool exact = word[0] == '=';
      answer.item = word.substr(exact ? 1 : 0, word.find_first_of("([{<~") - (exact ? 1 : 0));
      if (!Between(word, '(', ')').empty()) answer.cqZone = std::stoi(Between(word, '(', ')'));
      if (!Between(word, '[', ']').empty()) answer.ituZone = std::stoi(Between(word, '[', ']'));
      if (!Between(word, '{', '}').empty()) answer.continent = Between(word, '{', '}');
      (exact ? file.exact : file.prefixes).try_emplace(answer.item, answer);
      if (!exact) file.entityPrefixes.back().push_back(answer.item);
    }
  }
  return file;
}

bool IsOperatingMark(const std::string& part) {
  static const std::vector<std::string> marks = {"P", "M", "MM", "AM", "QRP", "A"};
  return std::find(marks.begin(), marks.end(), part) != marks.end() ||
         (part.size() == 1 && part[0] >= '0' && part[0] <= '9');
}

// The location part and whether it came from after the slash.
std::pair<std::string, bool> LocationOf(const std::string& callsign) {
  std::vector<std::string> parts = Split(callsign, '/');
  while (parts.size() > 1 && IsOperatingMark(parts.back())) parts.pop_back();
  if (parts.size() == 1) return {parts[0], false};
  if (parts.size() == 2 && parts[1].size() < parts[0].size()) return {parts[1], true};
  if (parts.size() == 2) return {parts[0], false};
  return {callsign, false};
}

std::optional<Answer> ResolveByFileRule(const CountryFile& file, const std::string& callsign) {
  if (auto exact = file.exact.find(callsign); exact != file.exact.end()) return exact->second;
  const std::string location = LocationOf(callsign).first;
  for (std::size_t length = location.size(); length > 0; --length) {
    if (auto prefix = file.prefixes.find(location.substr(0, length)); prefix != file.prefixes.end()) return prefix->second;
  }
  return std::nullopt;
}

// --- the corpus -----------------------------------------------------------

std::vector<std::string> AdifCalls() {
  std::set<std::string> calls;
  const std::regex tag("<call:(\\d+)(:[a-z])?>", std::regex::icase);
  for (const auto& entry : std::filesystem::directory_iterator(QUILLET_TEST_DATA)) {
    if (entry.path().extension() != ".adi" && entry.path().extension() != ".adif") continue;
    const std::string text = ReadAll(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), tag), end; it != end; ++it) {
      std::string call = text.substr(it->position() + it->length(), std::stoul((*it)[1]));
      std::transform(call.begin(), call.end(), call.begin(), [](unsigned char c) { return std::toupper(c); });
      calls.insert(call);
    }
  }
  return {calls.begin(), calls.end()};
}

std::string CallWithPrefix(const std::string& prefix) {
  return prefix + (std::isdigit(static_cast<unsigned char>(prefix.back())) ? "ABC" : "1ABC");
}

std::map<std::string, std::vector<std::string>> Corpus(const CountryFile& file) {
  std::map<std::string, std::vector<std::string>> corpus;
  corpus["1 calls in tests/data"] = AdifCalls();
  for (const auto& [call, answer] : file.exact) corpus["2 exact calls of the file"].push_back(call);
  for (const auto& [prefix, answer] : file.prefixes) {
    corpus["3 one call per prefix"].push_back(CallWithPrefix(prefix));
    corpus["4 PFX/K1ABC"].push_back(prefix + "/K1ABC");
    for (const char* mark : {"/P", "/M", "/QRP", "/7"}) corpus["5 CALL/P, /M, /QRP, /7"].push_back(CallWithPrefix(prefix) + mark);
  }
  for (const auto& prefixes : file.entityPrefixes) {
    if (!prefixes.empty() && prefixes[0].size() < 5) corpus["6 K1ABC/PFX (apart)"].push_back("K1ABC/" + prefixes[0]);
  }
  return corpus;
}

// --- the comparison -------------------------------------------------------

std::string Describe(const std::optional<Answer>& a) {
  if (!a) return "none";
  return a->item + " " + a->continent + " " + a->dxccPrefix + " " + std::to_string(a->dxcc) + " itu " +
         std::to_string(a->ituZone) + " cq " + std::to_string(a->cqZone);
}

std::string Describe(const std::optional<Resolution>& r) {
  if (!r) return "none";
  return std::string(TableName(r->table)) + " row " + std::to_string(r->id) + " " + r->mainPrefix + " " +
         r->continent + " " + r->dxccPrefix + " " + r->dxcc + " itu " + r->ituZone + " cq " + r->cqZone;
}

bool Agree(const CountryFile& file, const std::string& callsign, const std::optional<Answer>& a,
           const std::optional<Resolution>& r) {
  if (!a || !r) return !a && !r;
  bool same = r->continent == a->continent.substr(0, 2) && r->dxccPrefix == a->dxccPrefix.substr(0, 5) &&
              r->dxcc == std::to_string(a->dxcc) && r->ituZone == std::to_string(a->ituZone).substr(0, 2) &&
              r->cqZone == std::to_string(a->cqZone).substr(0, 2);
  // The main prefix is the prefix that decided; an exact call has its own.
  bool byPrefix = !file.exact.contains(callsign);
  return same && (!byPrefix || r->mainPrefix == a->item.substr(0, 5));
}

class CountryFileRule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::filesystem::exists(QUILLET_CTY_FILE)) return;
    database_ = new testing::TestDatabase();
    counts_ = ReplaceDictionaries(database_->get(), DeriveDictionaryRows(ReadCtyFile(QUILLET_CTY_FILE)));
    resolver_ = new DictionaryResolver(ReadDictionaryEntries(database_->get(), LocalDayText()));
  }
  static void TearDownTestSuite() {
    delete resolver_;
    delete database_;
  }
  void SetUp() override {
    if (resolver_ == nullptr) GTEST_SKIP() << QUILLET_CTY_FILE << " is not installed";
  }

  static testing::TestDatabase* database_;
  static DictionaryResolver* resolver_;
  static DictionaryCounts counts_;
};

testing::TestDatabase* CountryFileRule::database_ = nullptr;
DictionaryResolver* CountryFileRule::resolver_ = nullptr;
DictionaryCounts CountryFileRule::counts_;

TEST_F(CountryFileRule, ModuleRuleOverDerivedRowsAgreesWithTheFilesRule) {
  const CountryFile file = ReadCountryFile(QUILLET_CTY_FILE);
  std::cout << "rows: UNIQUECALL " << counts_.uniqueCalls << ", PROVINCE " << counts_.provinces << ", COUNTRY "
            << counts_.countries << "\n";
  std::size_t total = 0;
  std::size_t agreed = 0;
  // Every call with the file rule's answer, for a run through the module.
  std::ofstream listing(std::string(QUILLET_BINARY_DIR) + "/host_dictionary_corpus.csv");
  listing << "category,call,continent,dxccPrefix,dxcc,ituZone,cqZone,decidedBy\n";
  for (const auto& [category, calls] : Corpus(file)) {
    std::size_t categoryAgreed = 0;
    std::vector<std::string> disagreements;
    for (const std::string& call : calls) {
      const std::optional<Answer> expected = ResolveByFileRule(file, call);
      const std::optional<Resolution> actual = resolver_->Resolve(call);
      if (expected) {
        listing << category << ',' << call << ',' << expected->continent << ',' << expected->dxccPrefix << ','
                << expected->dxcc << ',' << expected->ituZone << ',' << expected->cqZone << ',' << expected->item << '\n';
      }
      if (Agree(file, call, expected, actual)) {
        ++categoryAgreed;
        continue;
      }
      disagreements.push_back(call + ": file " + Describe(expected) + " / module " + Describe(actual));
      // Every disagreement is a location after the slash.
      EXPECT_TRUE(LocationOf(call).second) << disagreements.back();
    }
    std::cout << category << ": " << categoryAgreed << " of " << calls.size() << " agree\n";
    for (std::size_t i = 0; i < disagreements.size() && i < 12; ++i) std::cout << "  " << disagreements[i] << "\n";
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
    EXPECT_EQ(r->continent + " " + r->dxccPrefix + " " + r->dxcc + " " + r->mainPrefix + " " + r->ituZone + " " + r->cqZone,
              std::string(c.continent) + " " + c.dxccPrefix + " " + c.dxcc + " " + c.mainPrefix + " " + c.ituZone + " " +
                  c.cqZone)
        << c.callsign;
  }
}

}  // namespace
}  // namespace quillet::host
