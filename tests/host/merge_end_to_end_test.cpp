// Re-imports merging into the QSOs already stored, through quillet as an
// operator runs it: the logger's export, the confirmation report, the
// export again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

std::string Field(const std::string& name, const std::string& value) {
  return "<" + name + ":" + std::to_string(value.size()) + ">" + value;
}

std::string Qso(const std::string& call, const std::string& time, const std::string& more) {
  return Field("CALL", call) + Field("QSO_DATE", "20240302") + Field("TIME_ON", time) + Field("MODE", "CW") +
         Field("OPERATOR", "DL1QLT") + more + "<EOR>\n";
}

class MergeEndToEnd : public ::testing::Test {
 protected:
  QuilletRun Import(const std::string& name, const std::string& records, const std::string& options) {
    const fs::path file = folder_.Path() / name;
    std::ofstream(file) << "<ADIF_VER:5>3.1.4<EOH>\n" << records;
    return RunQuillet(folder_.Path(), "import '" + file.string() + "' --operator DL1QLT " + options);
  }
  std::vector<std::string> Rows(const std::string& select) const {
    return DumpTable(folder_.Path() / "quillet.sqlite", select);
  }

  TempFolder folder_;
};

TEST_F(MergeEndToEnd, ExportReportAndExportAgainKeepEveryConfirmation) {
  const std::string band = Field("BAND", "20m");
  const std::string unconfirmed =
      Field("LOTW_QSL_RCVD", "N") + Field("QSL_RCVD", "N") + Field("EQSL_QSL_RCVD", "N");
  const std::string export1 =
      Qso("W2XYZ", "124010", band + unconfirmed) + Qso("K1QLX", "1300", band + unconfirmed);
  ASSERT_EQ(Import("export.adi", export1, "--mode 1").exitCode, 0);
  const std::string report =
      Qso("W2XYZ", "124010", band + Field("LOTW_QSL_RCVD", "Y") + Field("LOTW_QSLRDATE", "20240410")) +
      Qso("K1QLX", "1300",
          band + Field("QSL_RCVD", "Y") + Field("QSLRDATE", "20240411") + Field("EQSL_QSL_RCVD", "Y"));
  const QuilletRun confirmations = Import("report.adi", report, "--mode 1");
  EXPECT_NE(confirmations.out.find("      Updated in log: 2\n         with a confirmation: 2\n"),
            std::string::npos)
      << confirmations.out;
  const std::string select =
      "SELECT OMCALL, LOTWRCVD, LOTWRCVDDATE, QSLRECV, QSLRECVDATE, EQSLRCVD FROM LOGS ORDER BY ID";
  const std::vector<std::string> confirmed{"W2XYZ|1|2024-04-10 00:00:00|0|<null>|0",
                                           "K1QLX|0|<null>|1|2024-04-11 00:00:00|1"};
  EXPECT_EQ(Rows(select), confirmed);
  const QuilletRun again = Import("export.adi", export1, "--mode 1 --json");
  EXPECT_NE(again.out.find("\"updated\":2,\"with_confirmation\":0,"), std::string::npos) << again.out;
  EXPECT_EQ(Rows(select), confirmed);
}

// The logger rounds 12:40:10 down, the report to the next minute.
TEST_F(MergeEndToEnd, ARoundedMinuteUpdatesWithinTheWindowAndIsNewWithout) {
  const std::string band = Field("BAND", "20M");
  ASSERT_EQ(Import("export.adi", Qso("W2XYZ", "124010", band), "--mode 1").exitCode, 0);
  const std::string report = Qso("W2XYZ", "124100", band + Field("LOTW_QSL_RCVD", "Y"));
  const QuilletRun windowed = Import("report.adi", report, "--mode 1 --window 2");
  EXPECT_NE(windowed.out.find("Updated in log: 1\n         with a confirmation: 1\n"
                              "         matched within 2 minutes: 1\n"),
            std::string::npos)
      << windowed.out;
  EXPECT_EQ(Rows("SELECT QSODATE, QSOTIME, LOTWRCVD FROM LOGS"),
            std::vector<std::string>{"2024-03-02 12:40:00|12:40:10|1"});
  const QuilletRun exact = Import("report.adi", Qso("W2XYZ", "124200", band), "--mode 1");
  EXPECT_EQ(ReadCounts(exact.out).inserted, 1) << exact.out;
  // Two stored QSOs within the window: which one is meant is not guessed.
  const QuilletRun ambiguous = Import("late.adi", Qso("W2XYZ", "124100", band), "--mode 1 --window 5");
  EXPECT_EQ(ReadCounts(ambiguous.out).errors, 1);
  EXPECT_NE(ambiguous.out.find("Record 1: matches 2 stored QSOs within 5 minutes"), std::string::npos)
      << ambiguous.out;
  EXPECT_EQ(ErrorFileRecords(folder_.Path() / "late.err").size(), 1u);
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM LOGS"), std::vector<std::string>{"2"});
}

TEST_F(MergeEndToEnd, ModeTwoFillsTheBandAndOperatorModeOneLeftEmpty) {
  ASSERT_EQ(RunQuillet(folder_.Path(), "log create MAIN --operator DL1QLT").exitCode, 0);
  ASSERT_TRUE(ExecSql(folder_.Path() / "quillet.sqlite", R"sql(
    INSERT INTO COUNTRY (PrefixList, Continent, ARRLPrefix, DXCC, ITUZone, CQZone, EndDate)
      VALUES ('W[0-9][A-Z]+', 'NA', 'K', '291', '8', '5', NULL);
    INSERT INTO PROVINCE (PrefixList, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone, StartDate)
      VALUES ('VE3[A-Z]+', 'NA', 'VE', 'VE3', 1, '4', '4', '1990-01-01 00:00:00');
    INSERT INTO UNIQUECALL (Callsign, Continent, ARRLPrefix, Prefix, DXCC, ITUZone, CQZone)
      VALUES ('K1QLX', 'NA', 'K', 'K1', 291, 8, 5);)sql"));
  const std::string record = Field("CALL", "W2XYZ") + Field("QSO_DATE", "20240302") +
                             Field("TIME_ON", "1240") + Field("MODE", "CW") + Field("FREQ", "14.025") +
                             Field("STATION_CALLSIGN", "dl1qlt") + "<EOR>\n";
  ASSERT_EQ(Import("export.adi", record, "--mode 1").exitCode, 0);
  const std::string select = "SELECT QSOBAND, CALLSIGN, DXCC FROM LOGS";
  EXPECT_EQ(Rows(select), std::vector<std::string>{"<null>|<null>|<null>"});
  const QuilletRun filled = Import("export.adi", record, "--mode 2");
  EXPECT_EQ(ReadCounts(filled.out).updated, 1) << filled.out << filled.err;
  EXPECT_EQ(Rows(select), std::vector<std::string>{"20M|DL1QLT|291"});
}

// The same call at one minute, once on 20M and once without a band, are
// two QSOs: a 20M record is the first's alone.
TEST_F(MergeEndToEnd, ARecordWithItsBandUpdatesOnlyTheQsoOfThatBand) {
  const std::string stored = Qso("W2XYZ", "1240", Field("BAND", "20M") + Field("NAME", "Bob")) +
                             Qso("W2XYZ", "1240", Field("NAME", "Al"));
  ASSERT_EQ(ReadCounts(Import("export.adi", stored, "--mode 0").out).inserted, 2);
  const QuilletRun run =
      Import("report.adi", Qso("W2XYZ", "1240", Field("BAND", "20M") + Field("NAME", "Robert")), "--mode 1");
  EXPECT_EQ(ReadCounts(run.out).updated, 1) << run.out;
  EXPECT_EQ(Rows("SELECT QSOBAND, OMNAME FROM LOGS ORDER BY ID"),
            (std::vector<std::string>{"20M|Robert", "<null>|Al"}));
}

}  // namespace
}  // namespace quillet::host
