// The built module, run by quillet over the dictionaries `dict import`
// derives from the country file, against the country file's own rule
// (tests/host/country_file_rule.h): the six values mode 2 fills
// into LOGS for a corpus of callsigns, and for the QSOs of real log files.
//
// The module's rows are prefix patterns over the callsign as written, so a
// location after the slash (K1ABC/KH6, KC2PZ/C6A) is beyond them: they
// resolve the home call. Those calls are counted apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include "tests/host/country_file_rule.h"
#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

// Every k-th generated call only (the calls of tests/data always), to keep
// the sanitizer build's run short.
#ifndef QUILLET_CORPUS_SAMPLE_EVERY
#define QUILLET_CORPUS_SAMPLE_EVERY 1
#endif

namespace quillet::host {
namespace {

namespace fs = std::filesystem;
using testing::Answer;
using testing::CountryFile;
using testing::ModuleValues;

const fs::path kData = QUILLET_TEST_DATA;
const fs::path kExample = fs::path(QUILLET_SOURCE_DIR) / "examples" / "dl1qlt-weekend.adi";
const std::string kColumns = "OMCALL, CONTINENT, DXCCPFX, MAINPFX, DXCC, ITUZONE, CQZONE";

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

struct CorpusCall {
  std::string category;
  std::string call;
};

std::vector<CorpusCall> CorpusCalls(const CountryFile& file) {
  std::vector<CorpusCall> calls;
  for (const auto& [category, members] : testing::Corpus(file, kData)) {
    const std::size_t every = category.starts_with("1 ") ? 1 : QUILLET_CORPUS_SAMPLE_EVERY;
    for (std::size_t i = 0; i < members.size(); i += every) calls.push_back({category, members[i]});
  }
  return calls;
}

// Record i is on minute i from 2000-01-01 00:00, in months of 28 days, so
// no two records share a key.
struct QsoTime {
  std::string date;    // yyyymmdd
  std::string time;    // hhmm
  std::string stored;  // as QSODATE holds it
};

std::string TwoDigits(std::size_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }

QsoTime TimeOf(std::size_t i) {
  const std::size_t day = i / 1440, minute = i % 1440;
  const std::string year = std::to_string(2000 + day / 336), month = TwoDigits(day / 28 % 12 + 1),
                    dayOfMonth = TwoDigits(day % 28 + 1), hour = TwoDigits(minute / 60),
                    min = TwoDigits(minute % 60);
  return {year + month + dayOfMonth, hour + min,
          year + "-" + month + "-" + dayOfMonth + " " + hour + ":" + min + ":00"};
}

std::string Field(const std::string& name, const std::string& value) {
  return "<" + name + ":" + std::to_string(value.size()) + ">" + value + " ";
}

void WriteCorpusFile(const fs::path& path, const std::vector<CorpusCall>& calls) {
  std::ofstream out(path, std::ios::binary);
  out << "Corpus of callsigns\n<ADIF_VER:5>3.1.4 <EOH>\n";
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const QsoTime time = TimeOf(i);
    out << Field("CALL", calls[i].call) << Field("QSO_DATE", time.date) << Field("TIME_ON", time.time)
        << Field("BAND", "20M") << Field("MODE", "CW") << Field("OPERATOR", "DL1QLT") << "<EOR>\n";
  }
}

std::vector<std::string> Cells(const std::string& row) {
  std::vector<std::string> cells;
  std::stringstream stream(row);
  for (std::string cell; std::getline(stream, cell, '|');) cells.push_back(cell == "<null>" ? "" : cell);
  while (cells.size() < 7) cells.emplace_back();
  return cells;
}

// The six values after the callsign in cells; nullopt when none is filled.
std::optional<ModuleValues> ValuesOf(const std::vector<std::string>& cells, std::size_t first) {
  ModuleValues v{cells[first],     cells[first + 1], cells[first + 3],
                 cells[first + 2], cells[first + 4], cells[first + 5]};
  if ((v.continent + v.dxccPrefix + v.dxcc + v.mainPrefix + v.ituZone + v.cqZone).empty())
    return std::nullopt;
  return v;
}

std::string Describe(const std::optional<ModuleValues>& values) {
  return values ? testing::Describe(*values) : "none";
}

class CountryFileEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(QUILLET_CTY_FILE)) GTEST_SKIP() << QUILLET_CTY_FILE << " is not installed";
    file_ = testing::ReadCountryFile(QUILLET_CTY_FILE);
  }
  QuilletRun DictImport(const fs::path& database) {
    return RunQuillet(folder_.Path(),
                      "dict import " + Quoted(QUILLET_CTY_FILE) + " --db " + Quoted(database));
  }
  // options: "--operator DL1QLT", or none for the file's most frequent operator.
  QuilletRun ImportModeTwo(const fs::path& source, const fs::path& database,
                           const std::string& options = "") {
    return RunQuillet(folder_.Path(),
                      "import " + Quoted(source) + " --mode 2 " + options + " --db " + Quoted(database));
  }

  TempFolder folder_;
  CountryFile file_;
};

TEST_F(CountryFileEndToEnd, ModeTwoThroughTheModuleAgreesWithTheFilesRule) {
  const fs::path database = folder_.Path() / "quillet.sqlite", corpus = folder_.Path() / "corpus.adi";
  const QuilletRun dict = DictImport(database);
  ASSERT_EQ(dict.exitCode, 0) << dict.out << dict.err;
  const std::vector<CorpusCall> calls = CorpusCalls(file_);
  WriteCorpusFile(corpus, calls);
  const QuilletRun run = ImportModeTwo(corpus, database, "--operator DL1QLT");
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  std::cout << "corpus of " << calls.size() << " calls (every " << QUILLET_CORPUS_SAMPLE_EVERY
            << ". generated call); inserted " << ReadCounts(run.out).inserted << "\n";

  std::map<std::string, std::vector<std::string>> stored;  // by QSODATE
  for (const std::string& row : DumpTable(database, "SELECT QSODATE, " + kColumns + " FROM LOGS")) {
    const std::vector<std::string> cells = Cells(row);
    stored[cells[0]] = {cells.begin() + 1, cells.end()};
  }
  std::map<std::string, std::pair<std::size_t, std::size_t>> byCategory;  // agreed, total
  std::vector<std::string> disagreements, apart;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const auto& [category, call] = calls[i];
    const std::optional<Answer> expected = testing::ResolveByFileRule(file_, call);
    const auto row = stored.find(TimeOf(i).stored);
    std::optional<ModuleValues> actual;
    if (row != stored.end()) actual = ValuesOf(row->second, 1);
    const bool agreed =
        row != stored.end() && row->second[0] == call && testing::Agree(file_, call, expected, actual);
    auto& [categoryAgreed, categoryTotal] = byCategory[category];
    ++categoryTotal;
    if (agreed) {
      ++categoryAgreed;
      continue;
    }
    const std::string module = row == stored.end() ? "not stored" : row->second[0] + " " + Describe(actual);
    (category.find("(apart)") != std::string::npos ? apart : disagreements)
        .push_back(call + ": file " + testing::Describe(expected) + " / module " + module);
  }
  std::size_t agreed = 0, total = 0;
  for (const auto& [category, counts] : byCategory) {
    std::cout << category << ": " << counts.first << " of " << counts.second << " agree\n";
    if (category.find("(apart)") != std::string::npos) continue;
    agreed += counts.first;
    total += counts.second;
  }
  std::cout << "disagreements:\n";
  for (const std::string& line : disagreements) std::cout << "  " << line << "\n";
  std::cout << "counted apart, " << apart.size() << " disagree, the first:\n";
  for (std::size_t i = 0; i < apart.size() && i < 5; ++i) std::cout << "  " << apart[i] << "\n";
  const double agreement = 100.0 * static_cast<double>(agreed) / static_cast<double>(total);
  std::cout << "agreement through the module: " << agreed << " of " << total << " calls, " << agreement
            << " %\n";
  EXPECT_GE(agreement, 99.9);
}

// Each file into a database of its own holding the derived dictionaries, in
// a log of the file's own operator (QSOs of another station are ignored):
// every stored QSO whose call the file rule resolves gets all six values,
// the file rule's own unless its location is after the slash.
TEST_F(CountryFileEndToEnd, ModeTwoFillsTheSixColumnsForTheExampleAndEveryDataFile) {
  const fs::path dictionaries = folder_.Path() / "dictionaries.sqlite";
  ASSERT_EQ(DictImport(dictionaries).exitCode, 0);
  std::vector<fs::path> sources = {kExample};
  for (const auto& entry : fs::directory_iterator(kData)) {
    if (entry.path().extension() == ".adi") sources.push_back(entry.path());
  }
  std::sort(sources.begin() + 1, sources.end());
  for (const fs::path& source : sources) {
    SCOPED_TRACE(source.filename().string());
    const fs::path copy = folder_.Path() / source.filename(), database = folder_.Path() / "log.sqlite";
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
    fs::copy_file(dictionaries, database, fs::copy_options::overwrite_existing);
    const QuilletRun run = ImportModeTwo(copy, database, OperatorOptionFor(copy));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::vector<std::string> rows =
        DumpTable(database, "SELECT " + kColumns + " FROM LOGS ORDER BY ID");
    EXPECT_FALSE(rows.empty());
    std::size_t resolved = 0;
    for (const std::string& row : rows) {
      const std::vector<std::string> cells = Cells(row);
      const std::optional<Answer> expected = testing::ResolveByFileRule(file_, cells[0]);
      if (!expected) continue;
      ++resolved;
      const std::optional<ModuleValues> actual = ValuesOf(cells, 1);
      for (std::size_t i = 1; i < 7; ++i) EXPECT_FALSE(cells[i].empty()) << row;
      if (!testing::LocationOf(cells[0]).second) {
        EXPECT_TRUE(testing::Agree(file_, cells[0], expected, actual))
            << cells[0] << ": file " << testing::Describe(expected) << " / module " << Describe(actual);
      }
    }
    std::cout << source.filename().string() << ": " << rows.size() << " QSOs stored, " << resolved
              << " resolved by the file rule\n";
  }
}

}  // namespace
}  // namespace quillet::host
