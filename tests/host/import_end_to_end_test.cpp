// quillet with the built module, end to end: each run gets a folder of its
// own holding copies of the sources (the error file is written beside the
// source) and a fresh database.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

const fs::path kData = QUILLET_TEST_DATA;
const fs::path kExample = fs::path(QUILLET_SOURCE_DIR) / "examples" / "dl1qlt-weekend.adi";

constexpr const char* kDataFiles[] = {
    "clublog-export.adi",
    "hamrs-pota-utf8-char-count.adi",
    "log4om2-bom-hash-comment-preamble.adi",
    "lotw-report-inline-comments.adi",
    "mixw2-header-fields-without-length.adi",
    "n1mm-logger-plus-contest-crlf.adi",
    "n3fjp-aclog-one-field-per-line.adi",
    "sat-log-no-eoh-lowercase-type.adi",
};

const std::string kAllRows = "SELECT * FROM LOGS ORDER BY ID";

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class ImportEndToEnd : public ::testing::Test {
 protected:
  fs::path Copy(const fs::path& source) {
    const fs::path target = folder_.Path() / source.filename();
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    return target;
  }
  QuilletRun Import(const fs::path& file, const std::string& options = "--mode 1") {
    return RunQuillet(folder_.Path(), "import " + Quoted(file) + " " + options);
  }
  fs::path Database() const { return folder_.Path() / "quillet.sqlite"; }
  std::vector<std::string> Rows(const std::string& select = kAllRows) const {
    return DumpTable(Database(), select);
  }

  TempFolder folder_;
};

// inserted + updated + ignored + errors + blank = the records of the file,
// and the error file holds exactly the ignored and failed records.
void ExpectConserved(const fs::path& source, const QuilletRun& run) {
  const std::vector<std::string> records = RecordStrings(source);
  const TranscriptCounts counts = ReadCounts(run.out);
  const long blank = std::count_if(records.begin(), records.end(), IsBlankRecord);
  if (!records.empty()) {
    EXPECT_EQ(counts.found, static_cast<long>(records.size())) << run.out;
  }
  EXPECT_EQ(counts.inserted + counts.updated + counts.ignored + counts.errors + blank,
            static_cast<long>(records.size()))
      << run.out;

  fs::path errorFile = source;
  errorFile.replace_extension(".err");
  const std::vector<std::string> rejected = ErrorFileRecords(errorFile);
  EXPECT_EQ(static_cast<long>(rejected.size()), counts.ignored + counts.errors);
  for (const std::string& record : rejected) {
    EXPECT_NE(std::find(records.begin(), records.end(), record), records.end()) << record;
  }
}

TEST_F(ImportEndToEnd, EveryDataFileIsConservedAndASecondImportChangesNothing) {
  for (const char* name : kDataFiles) {
    SCOPED_TRACE(name);
    fs::remove(Database());
    const fs::path source = Copy(kData / name);
    const QuilletRun first = Import(source, "--mode 1 " + OperatorOptionFor(source));
    ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
    ExpectConserved(source, first);
    const std::vector<std::string> stored = Rows();

    const QuilletRun second = Import(source);
    ASSERT_EQ(second.exitCode, 0) << second.err;
    ExpectConserved(source, second);
    EXPECT_EQ(ReadCounts(second.out).inserted, 0) << second.out;
    EXPECT_EQ(Rows(), stored);
  }
}

// Mode 2 fills the band and the operator that modes 0 and 1 leave empty;
// the QSOs stored by the first import are found again in every mode, and
// with a match window as well.
TEST_F(ImportEndToEnd, ReimportInAnyOtherModeOnlyUpdates) {
  if (!fs::exists(QUILLET_CTY_FILE)) GTEST_SKIP() << QUILLET_CTY_FILE << " is not installed";
  const fs::path dictionaries = folder_.Path() / "dictionaries.sqlite";
  ASSERT_EQ(
      RunQuillet(folder_.Path(), "dict import " + Quoted(QUILLET_CTY_FILE) + " --db " + Quoted(dictionaries))
          .exitCode,
      0);
  for (const std::string window : {"", " --window 2"})
    for (const char* name : kDataFiles) {
      SCOPED_TRACE(name + window);
      fs::copy_file(dictionaries, Database(), fs::copy_options::overwrite_existing);
      const fs::path source = Copy(kData / name);
      const QuilletRun first = Import(source, "--mode 1 " + OperatorOptionFor(source) + window);
      ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
      const TranscriptCounts firstCounts = ReadCounts(first.out);
      const std::vector<std::string> count = Rows("SELECT COUNT(*) FROM LOGS");
      for (const char* mode : {"--mode 2", "--mode 0", "--mode 1"}) {
        SCOPED_TRACE(mode);
        const QuilletRun again = Import(source, mode + window);
        ASSERT_EQ(again.exitCode, 0) << again.err;
        ExpectConserved(source, again);
        const TranscriptCounts counts = ReadCounts(again.out);
        EXPECT_EQ(counts.inserted, 0) << again.out;
        EXPECT_EQ(counts.updated + counts.errors,
                  firstCounts.inserted + firstCounts.updated + firstCounts.errors)
            << again.out;
        EXPECT_EQ(Rows("SELECT COUNT(*) FROM LOGS"), count);
      }
    }
}

TEST_F(ImportEndToEnd, TheExampleShowsEveryCountAndUpdatesTheSecondTime) {
  const fs::path source = Copy(kExample);
  const QuilletRun first = Import(source);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const TranscriptCounts counts = ReadCounts(first.out);
  EXPECT_EQ(counts.found, 30);
  EXPECT_EQ(counts.inserted, 27);
  EXPECT_EQ(counts.updated, 1);
  EXPECT_EQ(counts.ignored, 1);
  EXPECT_EQ(counts.errors, 1);
  ExpectConserved(source, first);
  EXPECT_NE(first.err.find("operator DL1QLT taken from"), std::string::npos) << first.err;
  EXPECT_NE(first.err.find(" processed ("), std::string::npos);

  // What the file says, as stored: text as written (the apostrophe kept),
  // dates and times in the host's form, flags from Y, the frequency a number.
  EXPECT_EQ(
      Rows("SELECT OMNAME, OMQTH, QSODATE, QSOTIME, QSOBAND, QSOMODE, QSOFREQ, CALLSIGN, LOGNAME "
           "FROM LOGS WHERE OMCALL='EI5QXK'"),
      std::vector<std::string>{"Ann O'Dell|Carrowmore|2024-03-02 19:55:00|19:55|80M|CW|3.545|DL1QLT|MAIN"});
  EXPECT_EQ(Rows("SELECT QSLSENT, QSLRECV, QSLSENTDATE, QSLRECVDATE, GRIDSQUARE FROM LOGS "
                 "WHERE OMCALL='G4QQB'"),
            std::vector<std::string>{"1|1|2024-03-10 00:00:00|2024-04-02 00:00:00|IO91"});
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM LOGS WHERE OMCALL='DF7QQU' OR OMCALL='UR5QXB'"),
            std::vector<std::string>{"0"});

  const std::vector<std::string> stored = Rows();
  const QuilletRun second = Import(source);
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(ReadCounts(second.out).inserted, 0);
  EXPECT_EQ(ReadCounts(second.out).updated, 28);
  EXPECT_EQ(Rows(), stored);
}

// The example cut down to what a confirmation download carries: key, QSL.
void WritePartialExample(const fs::path& target) {
  std::ifstream in(kExample);
  std::ofstream out(target);
  const char* keep[] = {
      "<CALL:", "<QSO_DATE:", "<TIME_ON:", "<BAND:", "<MODE:", "<OPERATOR:", "<STATION_CALLSIGN:"};
  std::string line;
  out << "<ADIF_VER:5>3.1.4 <EOH>\n";
  bool body = false;
  while (std::getline(in, line)) {
    if (!body) {
      body = line.find("<EOH>") != std::string::npos;
      continue;
    }
    std::string record;
    for (const char* tag : keep) {
      const std::size_t at = line.find(tag);
      if (at != std::string::npos) record += line.substr(at, line.find(' ', at) - at) + " ";
    }
    out << record << "<QSL_RCVD:1>Y <QSLRDATE:8>20240501 <EOR>\n";
  }
}

TEST_F(ImportEndToEnd, APartialFileSetsTheQslFieldsAndKeepsEveryOtherField) {
  ASSERT_EQ(Import(Copy(kExample)).exitCode, 0);
  const std::string others =
      "SELECT ID, OMCALL, QSODATE, QSOBAND, QSOMODE, QSORSTRCVD, QSORSTSEND, OMNAME, OMQTH, QSOFREQ, "
      "GRIDSQUARE, QSLMANAGER, IOTA, EQSLSENT, LOTWSENT, QSLSENT, QSLSENTDATE, CALLSIGN, QSLINFO, "
      "LOGNAME, QSOTIME FROM LOGS ORDER BY ID";
  const std::vector<std::string> before = Rows(others);

  const fs::path partial = folder_.Path() / "confirmations.adi";
  WritePartialExample(partial);
  const QuilletRun run = Import(partial);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadCounts(run.out).inserted, 0) << run.out;
  EXPECT_EQ(Rows(others), before);
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM LOGS WHERE QSLRECV=1 AND QSLRECVDATE='2024-05-01 00:00:00'"),
            std::vector<std::string>{std::to_string(before.size())});
}

TEST_F(ImportEndToEnd, ModeTwoWithEmptyDictionariesSaysMissingInformation) {
  const QuilletRun refused = Import(Copy(kExample), "--mode 2");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("quillet dict import"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(Database()));  // a run that never started leaves nothing
  ASSERT_EQ(RunQuillet(folder_.Path(), "log create MAIN --operator DL1QLT").exitCode, 0);
  const QuilletRun run = Import(Copy(kExample), "--mode 2");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Missing information"), std::string::npos) << run.err;
  EXPECT_EQ(Rows("SELECT NAME FROM LOGBOOK"), std::vector<std::string>{"MAIN"});
}

// The module's loaders read the dictionaries through the query protocol:
// their SELECTs with "#" dates and "" texts, row counts and field reads.
TEST_F(ImportEndToEnd, ModeTwoFillsFieldsFromTheDictionaryRowsValidToday) {
  ASSERT_EQ(RunQuillet(folder_.Path(), "log create MAIN --operator DL1QLT").exitCode, 0);
  ASSERT_TRUE(ExecSql(Database(), R"sql(
    INSERT INTO UNIQUECALL (Callsign, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone)
      VALUES ('K1QLX', 'NA', 'K', 'K1', 291, 8, 5);
    INSERT INTO PROVINCE (PrefixList, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone, StartDate)
      VALUES ('VE3[A-Z]+', 'NA', 'VE', 'VE3', 1, '4', '4', '1990-01-01 00:00:00');
    INSERT INTO COUNTRY (PrefixList, Continent, ARRLPrefix, DXCC, ITUZone, CQZone, EndDate)
      VALUES ('F[0-9][A-Z]+', 'EU', 'F', '227', '27', '14', '2001-01-01 00:00:00'),
             ('', 'AF', 'X', '1', '1', '1', NULL),
             ('G[0-9][A-Z]+', 'EU', 'G', '223', '27', '14', '2099-12-31 00:00:00');)sql"));
  const QuilletRun run = Import(Copy(kExample), "--mode 2");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string select =
      "SELECT OMCALL, CONTINENT, DXCCPFX, MAINPFX, DXCC, ITUZONE, CQZONE FROM LOGS WHERE OMCALL IN "
      "('K1QLX', 'VE3QXW', 'G4QQB', 'F5QQX') ORDER BY ID";
  EXPECT_EQ(Rows(select), (std::vector<std::string>{
                              "K1QLX|NA|K|K1|291|8|5",
                              "F5QQX|<null>|<null>|<null>|<null>|<null>|<null>",
                              "G4QQB|EU|G|G|223|27|14",
                              "K1QLX|NA|K|K1|291|8|5",
                              "VE3QXW|NA|VE|VE3|1|4|4",
                          }));
}

TEST_F(ImportEndToEnd, UsageErrorsAndLogCommands) {
  EXPECT_EQ(RunQuillet(folder_.Path(), "import no-such-file.adi").exitCode, 2);
  EXPECT_FALSE(fs::exists(Database()));
  EXPECT_EQ(RunQuillet(folder_.Path(), "import --mode 3 x.adi").exitCode, 2);
  EXPECT_EQ(RunQuillet(folder_.Path(), "frobnicate").exitCode, 2);
  EXPECT_EQ(RunQuillet(folder_.Path(), "import --help").exitCode, 0);
  EXPECT_EQ(RunQuillet(folder_.Path(), "log create FIELD --closing 2024-02-30 --operator x").exitCode, 2);

  EXPECT_EQ(RunQuillet(folder_.Path(), "log create FIELD --operator dl1qlt --closing 2024-03-02").exitCode,
            0);
  const QuilletRun run = Import(Copy(kExample), "--log FIELD");
  EXPECT_EQ(run.exitCode, 0);
  // Closed on 2024-03-02: the QSOs of 2024-03-03 still pass, one day after.
  EXPECT_EQ(ReadCounts(run.out).inserted, 27) << run.out;
  const QuilletRun shown = RunQuillet(folder_.Path(), "log show FIELD");
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_NE(shown.out.find("QSOs: 27"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("LOG.OPERATOR=DL1QLT"), std::string::npos) << shown.out;
  EXPECT_EQ(RunQuillet(folder_.Path(), "log show NOSUCH").exitCode, 1);
  EXPECT_EQ(RunQuillet(folder_.Path(), "log create FIELD --operator DL1QLT").exitCode, 1);
}

}  // namespace
}  // namespace quillet::host
