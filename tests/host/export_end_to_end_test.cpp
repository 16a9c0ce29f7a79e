// quillet export: a log written back to ADIF and read in again, through
// quillet as an operator runs it, on the operators' sample files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = QUILLET_SAMPLE_DATA;

// Every column but the row id, with the type SQLite stored each value as.
constexpr const char* kEveryColumn =
    "SELECT OMCALL, QSODATE, QSOBAND, QSOMODE, QSORSTRCVD, QSORSTSEND, OMNAME, OMQTH, CONTINENT, DXCCPFX, "
    "MAINPFX, QSOFREQ, typeof(QSOFREQ), ITUZONE, CQZONE, GRIDSQUARE, QSLMANAGER, IOTA, STATE, EQSLSENT, "
    "EQSLRCVD, LOTWSENT, LOTWRCVD, QSLSENT, QSLRECV, QSLSTAT, LOTWRCVDDATE, QSLSENTDATE, QSLRECVDATE, "
    "CALLSIGN, WPX, DXCC, QSLINFO, LOGNAME, QSOTIME FROM LOGS";

std::vector<std::string> SortedRows(const fs::path& database) {
  std::vector<std::string> rows = DumpTable(database, kEveryColumn);
  std::sort(rows.begin(), rows.end());
  return rows;
}

// The rows of one list that the other does not hold, marked - and +.
std::vector<std::string> Differences(const std::vector<std::string>& got,
                                     const std::vector<std::string>& want) {
  std::vector<std::string> missing, extra;
  std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(missing));
  std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
  for (std::string& row : missing) row = "- " + row;
  for (std::string& row : extra) missing.push_back("+ " + row);
  return missing;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::string ReadFile(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

class ExportEndToEnd : public ::testing::Test {
 protected:
  QuilletRun Run(const std::string& arguments) { return RunQuillet(folder_.Path(), arguments); }

  TempFolder folder_;
};

// Into a fresh log in mode 0 the export gives the same rows; into its own
// log it inserts nothing and changes nothing.
TEST_F(ExportEndToEnd, EverySampleRoundTrips) {
  for (const auto& entry : fs::directory_iterator(kSamples)) {
    if (entry.path().extension() != ".adi") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const fs::path source = folder_.Path() / entry.path().filename();
    fs::copy_file(entry.path(), source, fs::copy_options::overwrite_existing);
    const fs::path original = folder_.Path() / "original.sqlite", fresh = folder_.Path() / "fresh.sqlite";
    fs::remove(original);
    fs::remove(fresh);
    const std::string operatorOption = OperatorOptionFor(source);
    ASSERT_EQ(Run("import " + Quoted(source) + " --db " + Quoted(original) + " " + operatorOption).exitCode,
              0);
    const std::vector<std::string> stored = SortedRows(original);
    ASSERT_FALSE(stored.empty());

    const fs::path exported = folder_.Path() / "export.adi";
    const QuilletRun exportRun = Run("export " + Quoted(exported) + " --db " + Quoted(original));
    ASSERT_EQ(exportRun.exitCode, 0) << exportRun.err;
    const QuilletRun into =
        Run("import " + Quoted(exported) + " --mode 0 --db " + Quoted(fresh) + " " + operatorOption);
    ASSERT_EQ(into.exitCode, 0) << into.out << into.err;
    EXPECT_EQ(Differences(SortedRows(fresh), stored), std::vector<std::string>{});

    const QuilletRun again = Run("import " + Quoted(exported) + " --db " + Quoted(original));
    EXPECT_EQ(ReadCounts(again.out).inserted, 0) << again.out;
    EXPECT_EQ(ReadCounts(again.out).errors, 0) << again.out;
    EXPECT_EQ(Differences(SortedRows(original), stored), std::vector<std::string>{});
  }
}

TEST_F(ExportEndToEnd, WritesHeaderAndSelectedDatesOnStandardOutput) {
  const fs::path source = folder_.Path() / "log.adi";
  std::ofstream(source)
      << "<ADIF_VER:5>3.1.4<EOH>\n"
      << "<CALL:5>W2XYZ<QSO_DATE:8>20240301<TIME_ON:6>124010<MODE:2>CW<BAND:3>20m"
         "<FREQ:6>14.025<OPERATOR:6>DL1QLT<LOTW_QSL_RCVD:1>Y<QTH:7>Zürich<EOR>\n"
      << "<CALL:5>K1QLX<QSO_DATE:8>20240305<TIME_ON:4>1300<MODE:2>CW<OPERATOR:6>DL1QLT<EOR>\n";
  ASSERT_EQ(Run("import " + Quoted(source)).exitCode, 0);
  const QuilletRun run = Run("export - --until 2024-03-04");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("<ADIF_VER:5>3.1.4"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("<PROGRAMID:7>quillet"), std::string::npos);
  EXPECT_NE(run.out.find("<PROGRAMVERSION:" + std::to_string(std::string(QUILLET_PROJECT_VERSION).size()) +
                         ">" + QUILLET_PROJECT_VERSION),
            std::string::npos);
  EXPECT_NE(run.out.find("<CREATED_TIMESTAMP:15>"), std::string::npos);
  EXPECT_EQ(run.out.find("K1QLX"), std::string::npos) << run.out;
  const std::string record = run.out.substr(run.out.find("<EOH>\n") + 6);
  EXPECT_EQ(
      record,
      "<CALL:5>W2XYZ<QSO_DATE:8>20240301<TIME_ON:6>124010<BAND:3>20M<MODE:2>CW<QTH:7>Zürich<FREQ:6>14.025"
      "<EQSL_QSL_SENT:1>N<EQSL_QSL_RCVD:1>N<LOTW_QSL_SENT:1>N<LOTW_QSL_RCVD:1>Y<QSL_SENT:1>N<QSL_RCVD:1>N"
      "<OPERATOR:6>DL1QLT<STATION_CALLSIGN:6>DL1QLT<EOR>\n");
  EXPECT_NE(Run("export - --since 2024-03-05").out.find("K1QLX"), std::string::npos);
}

TEST_F(ExportEndToEnd, AFailedExportLeavesNoFileAndAMissingLogFails) {
  const fs::path source = folder_.Path() / "log.adi";
  std::ofstream(source)
      << "<CALL:5>W2XYZ<QSO_DATE:8>20240301<TIME_ON:4>1240<MODE:2>CW<OPERATOR:6>DL1QLT<EOR>\n";
  ASSERT_EQ(Run("import " + Quoted(source)).exitCode, 0);
  const fs::path target = folder_.Path() / "missing" / "log.adi";
  const QuilletRun unwritable = Run("export " + Quoted(target));
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.err.find("quillet: cannot write " + target.string()), std::string::npos)
      << unwritable.err;
  EXPECT_FALSE(fs::exists(target.parent_path()));

  const fs::path kept = folder_.Path() / "kept.adi";
  std::ofstream(kept) << "old";
  const QuilletRun noLog = Run("export " + Quoted(kept) + " --log OTHER");
  EXPECT_EQ(noLog.exitCode, 1);
  EXPECT_NE(noLog.err.find("quillet: no log OTHER in"), std::string::npos) << noLog.err;
  EXPECT_EQ(ReadFile(kept), "old");
}

}  // namespace
}  // namespace quillet::host
