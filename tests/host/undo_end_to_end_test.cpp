// quillet log undo and log history: an import taken back, through quillet
// as an operator runs it, on the operators' sample files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = QUILLET_SAMPLE_DATA;

constexpr const char* kEveryColumn =
    "SELECT ID, OMCALL, QSODATE, QSOBAND, QSOMODE, QSORSTRCVD, QSORSTSEND, OMNAME, OMQTH, CONTINENT, "
    "DXCCPFX, "
    "MAINPFX, QSOFREQ, typeof(QSOFREQ), ITUZONE, CQZONE, GRIDSQUARE, QSLMANAGER, IOTA, STATE, EQSLSENT, "
    "EQSLRCVD, LOTWSENT, LOTWRCVD, QSLSENT, QSLRECV, QSLSTAT, LOTWRCVDDATE, QSLSENTDATE, QSLRECVDATE, "
    "CALLSIGN, WPX, DXCC, QSLINFO, LOGNAME, QSOTIME FROM LOGS ORDER BY ID";

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class UndoEndToEnd : public ::testing::Test {
 protected:
  QuilletRun Run(const std::string& arguments) { return RunQuillet(folder_.Path(), arguments); }
  std::vector<std::string> Rows() { return DumpTable(folder_.Path() / "quillet.sqlite", kEveryColumn); }

  TempFolder folder_;
};

// Into an empty log and into one that holds the file already (the second
// import updates; mode 2 also fills what mode 1 left empty), undo gives
// back every row as it was, and undoing the undo gives the import back.
TEST_F(UndoEndToEnd, EverySampleImportIsUndoneExactly) {
  const bool modeTwo = fs::exists(QUILLET_CTY_FILE);
  for (const auto& entry : fs::directory_iterator(kSamples)) {
    if (entry.path().extension() != ".adi") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const fs::path source = folder_.Path() / entry.path().filename();
    fs::copy_file(entry.path(), source, fs::copy_options::overwrite_existing);
    fs::remove(folder_.Path() / "quillet.sqlite");
    if (modeTwo) {
      ASSERT_EQ(Run("dict import " + Quoted(QUILLET_CTY_FILE)).exitCode, 0);
    }
    const std::string operatorOption = OperatorOptionFor(source);
    ASSERT_EQ(Run("import " + Quoted(source) + " --mode 1 " + operatorOption).exitCode, 0);
    const std::vector<std::string> afterFirst = Rows();
    const std::string again = "import " + Quoted(source) + (modeTwo ? " --mode 2" : " --mode 1");
    ASSERT_EQ(Run(again).exitCode, 0);
    const std::vector<std::string> afterSecond = Rows();

    const QuilletRun undo = Run("log undo");
    ASSERT_EQ(undo.exitCode, 0) << undo.err;
    EXPECT_EQ(Rows(), afterFirst);
    ASSERT_EQ(Run("log undo").exitCode, 0);  // the undo undone
    EXPECT_EQ(Rows(), afterSecond);
    const QuilletRun history = Run("log history");
    EXPECT_NE(history.out.find(source.string()), std::string::npos) << history.out;
    EXPECT_NE(history.out.find("(undone)"), std::string::npos) << history.out;
  }
}

TEST_F(UndoEndToEnd, RefusesWithoutHistoryAndForRowsChangedSince) {
  const fs::path source = folder_.Path() / "log.adi";
  std::ofstream(source)
      << "<CALL:5>W2XYZ<QSO_DATE:8>20240301<TIME_ON:4>1240<MODE:2>CW<OPERATOR:6>DL1QLT<EOR>\n";
  ASSERT_EQ(Run("log create MAIN --operator DL1QLT").exitCode, 0);
  const QuilletRun none = Run("log undo");
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.err, "quillet: log MAIN has no import to undo\n");

  ASSERT_EQ(Run("import log.adi").exitCode, 0);
  ASSERT_TRUE(ExecSql(folder_.Path() / "quillet.sqlite", "DELETE FROM LOGS"));
  const QuilletRun gone = Run("log undo");
  EXPECT_EQ(gone.exitCode, 1);
  EXPECT_NE(gone.err.find("are no longer in log MAIN; nothing was changed"), std::string::npos) << gone.err;

  std::ofstream(source, std::ios::app)
      << "<CALL:5>K1QLX<QSO_DATE:8>20240301<TIME_ON:4>1300<MODE:2>CW<OPERATOR:6>DL1QLT<EOR>\n";
  ASSERT_EQ(Run("import log.adi").exitCode, 0);
  ASSERT_TRUE(ExecSql(folder_.Path() / "quillet.sqlite", "DELETE FROM LOGS WHERE OMCALL = 'K1QLX'"));
  const QuilletRun changed = Run("log undo");
  EXPECT_EQ(changed.exitCode, 1);
  EXPECT_NE(changed.err.find("1 of the QSOs"), std::string::npos) << changed.err;
  EXPECT_NE(changed.err.find("quillet log undo MAIN --force"), std::string::npos) << changed.err;
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Run("log undo --force").exitCode, 0);
  EXPECT_TRUE(Rows().empty());
}

// What an undo must still see: a later import that kept no undo data (its
// changes cannot be told, so only --force undoes what came before it), a log
// renamed since (its history and the rows kept from before move with it),
// and a database written before inserted rows had a table of their own.
TEST_F(UndoEndToEnd, SeesImportsWithoutUndoDataRenamedLogsAndOlderDatabases) {
  const fs::path database = folder_.Path() / "quillet.sqlite";
  const fs::path first = folder_.Path() / "first.adi";
  const fs::path second = folder_.Path() / "second.adi";
  std::ofstream(first)
      << "<CALL:5>W2XYZ<QSO_DATE:8>20240301<TIME_ON:4>1240<MODE:2>CW<OPERATOR:6>DL1QLT<EOR>\n";
  std::ofstream(second) << "<CALL:5>W2XYZ<QSO_DATE:8>20240301<TIME_ON:4>1240<MODE:2>CW<OPERATOR:6>DL1QLT"
                           "<NAME:3>Bob<EOR>\n";
  ASSERT_EQ(Run("log create MAIN --operator DL1QLT").exitCode, 0);
  ASSERT_EQ(Run("import first.adi").exitCode, 0);
  ASSERT_EQ(Run("import second.adi --no-history").exitCode, 0);
  EXPECT_NE(Run("log history").out.find("second.adi (no undo data)"), std::string::npos);
  const QuilletRun blind = Run("log undo");
  EXPECT_EQ(blind.exitCode, 1);
  EXPECT_NE(blind.err.find("kept no undo data"), std::string::npos) << blind.err;
  EXPECT_NE(blind.err.find("quillet log undo MAIN --force"), std::string::npos) << blind.err;
  EXPECT_EQ(Rows().size(), 1u);
  ASSERT_EQ(Run("log undo --force").exitCode, 0);
  EXPECT_TRUE(Rows().empty());

  // A second import that changes a row keeps the row from before, under the
  // log's name: after a rename the undo puts it back under the new one.
  ASSERT_EQ(Run("import first.adi").exitCode, 0);
  const std::vector<std::string> beforeSecond = Rows();
  ASSERT_EQ(Run("import second.adi").exitCode, 0);
  ASSERT_EQ(Run("log set MAIN --rename HOME").exitCode, 0);
  const QuilletRun renamed = Run("log undo HOME");
  ASSERT_EQ(renamed.exitCode, 0) << renamed.err;
  ASSERT_EQ(Rows().size(), 1u);
  EXPECT_NE(Rows()[0].find("HOME"), std::string::npos) << Rows()[0];
  EXPECT_EQ(Rows()[0].find("Bob"), std::string::npos) << Rows()[0];

  // An older database: inserted rows marked in the rows table, no column
  // for imports without undo data. It is brought up to date when opened.
  fs::remove(database);
  ASSERT_EQ(Run("log create MAIN --operator DL1QLT").exitCode, 0);
  ASSERT_EQ(Run("import first.adi").exitCode, 0);
  const std::vector<std::string> imported = Rows();
  ASSERT_TRUE(ExecSql(database,
                      "INSERT INTO HISTORY_ROWS (HISTORY_ID, ROW_ID, ROW_INSERTED) "
                      "SELECT HISTORY_ID, ROW_ID, 1 FROM HISTORY_INSERTED; DROP TABLE HISTORY_INSERTED; "
                      "ALTER TABLE HISTORY DROP COLUMN KEPT_ROWS;"));
  ASSERT_EQ(Run("log undo").exitCode, 0);
  EXPECT_TRUE(Rows().empty());
  ASSERT_EQ(Run("log undo").exitCode, 0);  // the undo undone
  EXPECT_EQ(Rows(), imported);
}

}  // namespace
}  // namespace quillet::host
