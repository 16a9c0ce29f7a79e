// Imports whose process is killed, or that run side by side into one
// database: what is committed stays whole, and no QSO is lost or doubled.
// The built quillet runs as child processes here (POSIX process control).
#ifndef _WIN32

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

std::string Field(const std::string& name, const std::string& value) {
  return "<" + name + ":" + std::to_string(value.size()) + ">" + value + " ";
}

// records QSOs of call, numbered from first on; no two numbers give the
// same key (call, time, band, mode), so files with overlapping numbers
// share those QSOs.
void WriteAdif(const fs::path& path, int records, int first = 0, const std::string& call = "DL1QLT") {
  std::ofstream out(path, std::ios::binary);
  out << "Generated\n" << Field("ADIF_VER", "3.1.4") << "<EOH>\n";
  char text[32];
  for (int i = first; i < first + records; ++i) {
    const int minute = i * 2, day = minute / 1440;
    std::snprintf(text, sizeof text, "2021%02d%02d", 1 + day / 28 % 12, 1 + day % 28);
    const std::string date = text;
    std::snprintf(text, sizeof text, "%02d%02d%02d", minute / 60 % 24, minute % 60, i % 60);
    out << Field("CALL", "K" + std::to_string(i % 10) + "A" + std::to_string(i % 997))
        << Field("QSO_DATE", date) << Field("TIME_ON", text) << Field("BAND", i % 3 ? "20M" : "40M")
        << Field("FREQ", i % 3 ? "14.070" : "7.030") << Field("MODE", i % 2 ? "CW" : "SSB")
        << Field("RST_SENT", "599") << Field("OPERATOR", call) << "<EOR>\n";
  }
}

// One connection of the test's own, for reading what the imports left.
class Reader {
 public:
  explicit Reader(const fs::path& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      sqlite3_close(db_);
      db_ = nullptr;
    }
    if (db_ != nullptr) sqlite3_busy_timeout(db_, 10000);
  }
  ~Reader() { sqlite3_close(db_); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // The first column of the first row as text; empty when the query fails.
  std::string Text(const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (db_ == nullptr || sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return {};
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    if (sqlite3_step(raw) != SQLITE_ROW) return {};
    const auto* text = sqlite3_column_text(raw, 0);
    return text == nullptr ? std::string() : reinterpret_cast<const char*>(text);
  }
  long Number(const std::string& sql) {
    const std::string text = Text(sql);
    return text.empty() ? -1 : std::stol(text);
  }

 private:
  sqlite3* db_ = nullptr;
};

constexpr const char* kDistinctQsos =
    "SELECT COUNT(*) FROM (SELECT DISTINCT LOGNAME, OMCALL, QSODATE, QSOBAND, QSOMODE, CALLSIGN FROM LOGS)";

// quillet with arguments as a child process, its output discarded.
pid_t StartQuillet(const fs::path& folder, std::vector<std::string> arguments) {
  const std::string quillet = QUILLET_BINARY_DIR "/bin/quillet";
  arguments.insert(arguments.begin(), quillet);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
    execv(quillet.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

pid_t StartImport(const fs::path& folder, const std::string& file, const std::string& database) {
  return StartQuillet(folder, {"import", file, "--db", database, "--operator", "DL1QLT", "--quiet"});
}

// The wait status of the child.
int Reap(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return status;
}

// Waits until the import has committed rows; their count, or -1 when the
// child ended first.
long WaitForCommittedRows(pid_t child, const fs::path& database) {
  Reader reader(database);
  for (;;) {
    if (const long rows = reader.Number("SELECT COUNT(*) FROM LOGS"); rows > 0) return rows;
    if (waitpid(child, nullptr, WNOHANG) == child) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

TEST(ImportBatch, AfterAKillTheDatabaseIsWholeAndAReimportCompletesItExactly) {
  TempFolder folder;
  // Enough records that the run lasts past its first commit.
  constexpr int kRecords = 80000;
  WriteAdif(folder.Path() / "log.adi", kRecords);
  ASSERT_EQ(RunQuillet(folder.Path(), "log create MAIN --operator DL1QLT --db log.sqlite").exitCode, 0);

  const pid_t child = StartImport(folder.Path(), "log.adi", "log.sqlite");
  ASSERT_GT(child, 0);
  // Killed once a batch has been committed, while the next one is open.
  ASSERT_GT(WaitForCommittedRows(child, folder.Path() / "log.sqlite"), 0)
      << "the import ended before it could be killed";
  ASSERT_EQ(kill(child, SIGKILL), 0);
  const int status = Reap(child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

  long kept = 0;
  {
    Reader reader(folder.Path() / "log.sqlite");
    EXPECT_EQ(reader.Text("PRAGMA integrity_check"), "ok");
    kept = reader.Number("SELECT COUNT(*) FROM LOGS");
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, kRecords);
    EXPECT_EQ(reader.Number(kDistinctQsos), kept);
  }

  const QuilletRun again = RunQuillet(folder.Path(), "import log.adi --db log.sqlite");
  EXPECT_EQ(again.exitCode, 0) << again.err;
  const TranscriptCounts counts = ReadCounts(again.out);
  EXPECT_EQ(counts.updated, kept);
  EXPECT_EQ(counts.inserted, kRecords - kept);
  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Text("PRAGMA integrity_check"), "ok");
  EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGS"), kRecords);
  EXPECT_EQ(reader.Number(kDistinctQsos), kRecords);
}

TEST(ImportBatch, SigtermEndsTheImportWithItsOpenBatchCommitted) {
  TempFolder folder;
  constexpr int kRecords = 80000;
  WriteAdif(folder.Path() / "log.adi", kRecords);
  ASSERT_EQ(RunQuillet(folder.Path(), "log create MAIN --operator DL1QLT --db log.sqlite").exitCode, 0);

  const pid_t child = StartImport(folder.Path(), "log.adi", "log.sqlite");
  ASSERT_GT(child, 0);
  const long committed = WaitForCommittedRows(child, folder.Path() / "log.sqlite");
  ASSERT_GT(committed, 0) << "the import ended before the signal";
  ASSERT_EQ(kill(child, SIGTERM), 0);
  const int status = Reap(child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "wait status " << status;

  // The batch open at the signal was committed, not dropped. The run stops
  // at its next record, so when the signal came right after a commit that
  // batch may be empty: nothing committed is lost, nothing stored twice.
  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Text("PRAGMA integrity_check"), "ok");
  const long kept = reader.Number("SELECT COUNT(*) FROM LOGS");
  EXPECT_GE(kept, committed);
  EXPECT_LT(kept, kRecords);
  EXPECT_EQ(reader.Number(kDistinctQsos), kept);
}

TEST(ImportBatch, ImportsOfOneFileSideBySideStoreEachQsoOnce) {
  TempFolder folder;
  constexpr int kRecords = 5000;
  constexpr int kImports = 4;
  WriteAdif(folder.Path() / "log.adi", kRecords);
  ASSERT_EQ(RunQuillet(folder.Path(), "log create MAIN --operator DL1QLT --db log.sqlite").exitCode, 0);

  std::vector<pid_t> children;
  for (int i = 0; i < kImports; ++i) children.push_back(StartImport(folder.Path(), "log.adi", "log.sqlite"));
  for (const pid_t child : children) {
    ASSERT_GT(child, 0);
    const int status = Reap(child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  }

  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Text("PRAGMA integrity_check"), "ok");
  EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGS"), kRecords);
  EXPECT_EQ(reader.Number(kDistinctQsos), kRecords);
}

TEST(ImportBatch, AnotherProcessReadsWhileAnImportHoldsItsBatch) {
  TempFolder folder;
  constexpr int kRecords = 40000;
  WriteAdif(folder.Path() / "log.adi", kRecords);
  ASSERT_EQ(RunQuillet(folder.Path(), "log create MAIN --operator DL1QLT --db log.sqlite").exitCode, 0);
  const pid_t child = StartImport(folder.Path(), "log.adi", "log.sqlite");
  ASSERT_GT(child, 0);
  {
    // Every read answers (none waits for the writer) and sees a committed state.
    Reader reader(folder.Path() / "log.sqlite");
    long last = 0;
    while (waitpid(child, nullptr, WNOHANG) == 0) {
      const long now = reader.Number("SELECT COUNT(*) FROM LOGS");
      ASSERT_GE(now, last);
      last = now;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGS"), kRecords);
}

// Imports of overlapping files started at once into a database that does
// not exist yet: each imports its own file into the one log they create,
// and together they store exactly the union of their QSOs.
TEST(ImportBatch, SimultaneousImportsIntoANewDatabaseStoreTheUnionOfTheirFiles) {
  TempFolder folder;
  constexpr int kImports = 6, kRecords = 600, kStep = 400, kRounds = 3;
  for (int i = 0; i < kImports; ++i)
    WriteAdif(folder.Path() / ("log" + std::to_string(i) + ".adi"), kRecords, i * kStep);
  constexpr long kUnion = (kImports - 1) * kStep + kRecords;
  for (int round = 0; round < kRounds && !testing::Test::HasFailure(); ++round) {
    const std::string database = "round" + std::to_string(round) + ".sqlite";
    std::vector<pid_t> children;
    for (int i = 0; i < kImports; ++i)
      children.push_back(StartImport(folder.Path(), "log" + std::to_string(i) + ".adi", database));
    for (const pid_t child : children) {
      ASSERT_GT(child, 0);
      const int status = Reap(child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round << " status " << status;
    }
    Reader reader(folder.Path() / database);
    EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGS"), kUnion) << round;
    EXPECT_EQ(reader.Number(kDistinctQsos), kUnion) << round;
    EXPECT_EQ(reader.Text("SELECT group_concat(NAME || '/' || OPERATOR) FROM LOGBOOK"), "MAIN/DL1QLT");
  }
}

// The failing import created the log too (whichever came first), and
// fails at its first record, as its error file cannot be written.
TEST(ImportBatch, AFailingImportBesideASucceedingOneRemovesNoneOfItsQsos) {
  TempFolder folder;
  constexpr int kRecords = 20000;
  WriteAdif(folder.Path() / "good.adi", kRecords);
  WriteAdif(folder.Path() / "bad.adi", 10, 0, "DK9QQA");
  fs::create_directory(folder.Path() / "bad.err");
  const pid_t good = StartImport(folder.Path(), "good.adi", "log.sqlite");
  const pid_t bad = StartImport(folder.Path(), "bad.adi", "log.sqlite");
  ASSERT_GT(good, 0);
  ASSERT_GT(bad, 0);
  const int badStatus = Reap(bad);
  EXPECT_TRUE(WIFEXITED(badStatus) && WEXITSTATUS(badStatus) == 1) << "wait status " << badStatus;
  const int goodStatus = Reap(good);
  EXPECT_TRUE(WIFEXITED(goodStatus) && WEXITSTATUS(goodStatus) == 0) << "wait status " << goodStatus;
  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGS"), kRecords);
  EXPECT_EQ(reader.Text("SELECT group_concat(NAME) FROM LOGBOOK"), "MAIN");
}

TEST(ImportBatch, AFailedImportIntoANewLogNamesItsCauseAndLeavesNoLog) {
  TempFolder folder;
  WriteAdif(folder.Path() / "bad.adi", 10, 0, "DK9QQA");
  fs::create_directory(folder.Path() / "bad.err");
  const QuilletRun run = RunQuillet(folder.Path(), "import bad.adi --operator DL1QLT --db log.sqlite");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("bad.err"), std::string::npos) << run.err;
  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGBOOK"), 0);
}

// Records that are only ignored make no statement the host could stop
// at: the module itself stops at the next record.
TEST(ImportBatch, SigintStopsARunThatOnlyIgnoresRecords) {
  TempFolder folder;
  constexpr int kRecords = 300000;
  WriteAdif(folder.Path() / "other.adi", kRecords, 0, "DK9QQA");
  ASSERT_EQ(RunQuillet(folder.Path(), "log create MAIN --operator DL1QLT --db log.sqlite").exitCode, 0);
  const pid_t child = StartImport(folder.Path(), "other.adi", "log.sqlite");
  ASSERT_GT(child, 0);
  const fs::path errors = folder.Path() / "other.err";
  std::error_code error;
  while (fs::file_size(errors, error) < 100000 && waitpid(child, nullptr, WNOHANG) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(kill(child, SIGINT), 0) << "the import ended before the signal";
  const int status = Reap(child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "wait status " << status;
  EXPECT_LT(ErrorFileRecords(errors).size(), static_cast<std::size_t>(kRecords));
}

// A dry run killed outright: its transaction never commits, and the error
// file it diverted is put back by the next import.
TEST(ImportBatch, ADryRunKilledChangesNothingAndItsErrorFileIsPutBack) {
  TempFolder folder;
  constexpr int kRecords = 80000;
  WriteAdif(folder.Path() / "log.adi", kRecords);
  WriteAdif(folder.Path() / "first.adi", 1000);
  const fs::path errorFile = folder.Path() / "log.err";
  ASSERT_EQ(RunQuillet(folder.Path(), "log create MAIN --operator DL1QLT --db log.sqlite").exitCode, 0);
  ASSERT_EQ(RunQuillet(folder.Path(), "import first.adi --db log.sqlite").exitCode, 0);
  std::ofstream(errorFile) << "the operator's error file\n";

  const pid_t child = StartQuillet(folder.Path(), {"import", "log.adi", "--db", "log.sqlite", "--dry-run"});
  ASSERT_GT(child, 0);
  // The module removes the older error file as its run begins.
  while (fs::exists(errorFile) && waitpid(child, nullptr, WNOHANG) != child)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(kill(child, SIGKILL), 0) << "the dry run ended before it could be killed";
  const int status = Reap(child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  {
    Reader reader(folder.Path() / "log.sqlite");
    EXPECT_EQ(reader.Text("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGS"), 1000);
    EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM HISTORY"), 1);
  }
  const QuilletRun next = RunQuillet(folder.Path(), "import first.adi --db log.sqlite --dry-run");
  EXPECT_EQ(next.exitCode, 0) << next.err;
  EXPECT_NE(next.err.find("put back"), std::string::npos) << next.err;
  std::ifstream in(errorFile);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the operator's error file\n");
}

// An undo killed outright: it is one transaction, so the import is undone
// whole or not at all, and the history says which.
TEST(ImportBatch, AnUndoKilledLeavesTheImportWholeOrUndoneWhole) {
  TempFolder folder;
  constexpr int kRecords = 80000;
  WriteAdif(folder.Path() / "log.adi", kRecords);
  ASSERT_EQ(RunQuillet(folder.Path(), "log create MAIN --operator DL1QLT --db log.sqlite").exitCode, 0);
  ASSERT_EQ(RunQuillet(folder.Path(), "import log.adi --db log.sqlite --quiet").exitCode, 0);

  const pid_t child = StartQuillet(folder.Path(), {"log", "undo", "--db", "log.sqlite"});
  ASSERT_GT(child, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(child, SIGKILL);
  Reap(child);
  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Text("PRAGMA integrity_check"), "ok");
  const long rows = reader.Number("SELECT COUNT(*) FROM LOGS");
  const long undone = reader.Number("SELECT COUNT(*) FROM HISTORY WHERE UNDONE_BY IS NOT NULL");
  EXPECT_TRUE((rows == kRecords && undone == 0) || (rows == 0 && undone == 1))
      << rows << " rows, " << undone << " undone";
  EXPECT_EQ(RunQuillet(folder.Path(), "log undo --db log.sqlite").exitCode, 0);
  EXPECT_EQ(reader.Number("SELECT COUNT(*) FROM LOGS"), rows == 0 ? kRecords : 0);
}

}  // namespace
}  // namespace quillet::host

#endif  // _WIN32
