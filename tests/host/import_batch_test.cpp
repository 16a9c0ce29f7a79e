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

// records QSOs of DL1QLT, no two with the same key (call, time, band, mode).
void WriteAdif(const fs::path& path, int records) {
  std::ofstream out(path, std::ios::binary);
  out << "Generated\n" << Field("ADIF_VER", "3.1.4") << "<EOH>\n";
  char text[32];
  for (int i = 0; i < records; ++i) {
    const int minute = i * 2, day = minute / 1440;
    std::snprintf(text, sizeof text, "2021%02d%02d", 1 + day / 28 % 12, 1 + day % 28);
    const std::string date = text;
    std::snprintf(text, sizeof text, "%02d%02d%02d", minute / 60 % 24, minute % 60, i % 60);
    out << Field("CALL", "K" + std::to_string(i % 10) + "A" + std::to_string(i % 997))
        << Field("QSO_DATE", date) << Field("TIME_ON", text) << Field("BAND", i % 3 ? "20M" : "40M")
        << Field("FREQ", i % 3 ? "14.070" : "7.030") << Field("MODE", i % 2 ? "CW" : "SSB")
        << Field("RST_SENT", "599") << Field("OPERATOR", "DL1QLT") << "<EOR>\n";
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

// quillet import as a child process, its output discarded.
pid_t StartImport(const fs::path& folder, const std::string& file, const std::string& database) {
  const std::string quillet = QUILLET_BINARY_DIR "/bin/quillet";
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
    execl(quillet.c_str(), quillet.c_str(), "import", file.c_str(), "--db", database.c_str(), "--operator",
          "DL1QLT", "--quiet", static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
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

  // The batch open at the signal holds at least the record after which the
  // signal was taken: it was committed, not dropped.
  Reader reader(folder.Path() / "log.sqlite");
  EXPECT_EQ(reader.Text("PRAGMA integrity_check"), "ok");
  const long kept = reader.Number("SELECT COUNT(*) FROM LOGS");
  EXPECT_GT(kept, committed);
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

}  // namespace
}  // namespace quillet::host

#endif  // _WIN32
