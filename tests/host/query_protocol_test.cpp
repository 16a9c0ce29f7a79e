// The query protocol and statements of IHostServer, called through the
// interface as the module calls them, over a fresh database.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "host/services/bstr.h"
#include "host/services/host_core.h"
#include "host/services/host_server.h"
#include "host/services/journal.h"
#include "host/services/ref.h"
#include "host/store/database.h"
#include "host/store/log_book.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

// An in-string as the module passes it.
class InText {
 public:
  explicit InText(std::string_view text) : text_(NewBstr(text)) {}
  ~InText() { SysFreeString(text_); }
  operator BSTR() const { return text_; }

 private:
  BSTR text_;
};

class QueryProtocol : public ::testing::Test {
 protected:
  QueryProtocol() : db_(folder_.File("host.sqlite"), Durability::Wal), journal_(db_) {
    server_ = MakeRef<HostServer>(db_, journal_);
    db_.Exec(
        "INSERT INTO UNIQUECALL (ID, Callsign, Continent, DXCC, ITUZone, CQZone, StartDate, EndDate) "
        "VALUES (1, 'K1ABC', 'NA', 291, 8, 5, NULL, '2030-06-30 23:59:59'),"
        "       (2, 'DL0XYZ', 'EU', 230, 28, 14, '2001-02-03 04:05:06', NULL),"
        "       (3, '', 'EU', 230, 28, 14, NULL, NULL)");
  }

  std::int32_t Count(std::string_view table) {
    std::int32_t count = -1;
    EXPECT_EQ(server_->GetRecordCount(InText(table), &count), S_OK);
    return count;
  }

  std::int32_t Execute(std::string_view sql) {
    std::int32_t result = -1;
    EXPECT_EQ(server_->ExecuteSQL(InText(sql), &result), S_OK);
    return result;
  }

  TempFolder folder_;
  Database db_;
  Journal journal_;
  Ref<HostServer> server_;
};

TEST_F(QueryProtocol, ReportsTheExactRowCountAndReadsFieldsByNameInAnyCase) {
  QueryHandle handle = 0;
  ASSERT_EQ(server_->CreateQuery(&handle), S_OK);
  ASSERT_EQ(server_->SetQuerySQL(handle, InText("SELECT * FROM UNIQUECALL WHERE (CALLSIGN IS NOT NULL "
                                                "AND CALLSIGN>\"\") AND (ENDDATE IS NULL OR "
                                                "#2026-12-09#<=ENDDATE) ORDER BY ID")),
            S_OK);
  std::int32_t rows = -1;
  ASSERT_EQ(server_->OpenQuery(handle, &rows), S_OK);
  EXPECT_EQ(rows, 2);
  ASSERT_EQ(server_->QueryFirst(handle), S_OK);

  BSTR call = NewBstr("previous content, freed by the host");
  Flag has = 0, eof = 0;
  std::int32_t dxcc = 0;
  ASSERT_EQ(server_->GetFieldString(handle, InText("callsign"), &call, &has), S_OK);
  EXPECT_EQ(FromBstr(call), "K1ABC");
  ASSERT_EQ(server_->GetFieldInteger(handle, InText("DXCC"), &dxcc, &has), S_OK);
  EXPECT_EQ(dxcc, 291);
  ASSERT_EQ(server_->QueryEof(handle, &eof), S_OK);
  EXPECT_EQ(eof, kFalse);

  ASSERT_EQ(server_->QueryNext(handle), S_OK);
  ASSERT_EQ(server_->GetFieldString(handle, InText("Callsign"), &call, &has), S_OK);
  EXPECT_EQ(FromBstr(call), "DL0XYZ");
  ASSERT_EQ(server_->QueryNext(handle), S_OK);
  ASSERT_EQ(server_->QueryEof(handle, &eof), S_OK);
  EXPECT_NE(eof, kFalse);
  SysFreeString(call);

  EXPECT_EQ(server_->CloseQuery(handle), S_OK);
  EXPECT_EQ(server_->FreeQuery(handle), S_OK);
  EXPECT_LT(server_->FreeQuery(handle), 0);
  EXPECT_EQ(TakeErrorDescription(), "no query with handle " + std::to_string(handle));
}

TEST_F(QueryProtocol, SplitsStoredDatesAndReportsNullAsNoValue) {
  QueryHandle handle = 0;
  ASSERT_EQ(server_->CreateQuery(&handle), S_OK);
  ASSERT_EQ(server_->SetQuerySQL(handle, InText("SELECT * FROM UNIQUECALL WHERE ID=2")), S_OK);
  std::int32_t rows = 0;
  ASSERT_EQ(server_->OpenQuery(handle, &rows), S_OK);
  ASSERT_EQ(server_->QueryFirst(handle), S_OK);
  std::uint16_t y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  Flag has = 0;
  ASSERT_EQ(server_->GetFieldDateTime(handle, InText("StartDate"), &y, &mo, &d, &h, &mi, &s, &has), S_OK);
  EXPECT_NE(has, kFalse);
  EXPECT_EQ((std::array<int, 6>{y, mo, d, h, mi, s}), (std::array<int, 6>{2001, 2, 3, 4, 5, 6}));
  ASSERT_EQ(server_->GetFieldDateTime(handle, InText("ENDDATE"), &y, &mo, &d, &h, &mi, &s, &has), S_OK);
  EXPECT_EQ(has, kFalse);
  server_->CloseQuery(handle);
  server_->FreeQuery(handle);
}

TEST_F(QueryProtocol, AnEmptyResultIsAtEofRightAway) {
  QueryHandle handle = 0;
  ASSERT_EQ(server_->CreateQuery(&handle), S_OK);
  ASSERT_EQ(server_->SetQuerySQL(handle, InText("SELECT * FROM COUNTRY")), S_OK);
  std::int32_t rows = -1;
  ASSERT_EQ(server_->OpenQuery(handle, &rows), S_OK);
  EXPECT_EQ(rows, 0);
  ASSERT_EQ(server_->QueryFirst(handle), S_OK);
  Flag eof = 0;
  ASSERT_EQ(server_->QueryEof(handle, &eof), S_OK);
  EXPECT_NE(eof, kFalse);
  // No current row: a field read fails with error information, never throws.
  BSTR value = nullptr;
  Flag has = 0;
  EXPECT_LT(server_->GetFieldString(handle, InText("PrefixList"), &value, &has), 0);
  EXPECT_EQ(TakeErrorDescription(), "the query has no current row");
  server_->CloseQuery(handle);
  server_->FreeQuery(handle);
}

TEST_F(QueryProtocol, FailuresCarryErrorInformation) {
  std::int32_t count = 0;
  EXPECT_LT(server_->GetRecordCount(InText("LOGS; DROP TABLE LOGS"), &count), 0);
  EXPECT_EQ(TakeErrorDescription(), "'LOGS; DROP TABLE LOGS' is not a table name");
  EXPECT_LT(server_->GetRecordCountWhere(InText("LOGS"), InText("NOSUCH=1"), &count), 0);
  EXPECT_EQ(TakeErrorDescription(), "no such column: NOSUCH");
  EXPECT_LT(server_->SetQuerySQL(77, InText("SELECT 1")), 0);
  EXPECT_EQ(TakeErrorDescription(), "no query with handle 77");
}

TEST_F(QueryProtocol, ExecuteAnswersRowsChangedAndZeroWhenRefused) {
  EXPECT_EQ(Execute("INSERT INTO LOGS (LOGNAME,OMCALL,QSODATE,QSOBAND,QSOMODE,CALLSIGN,OMNAME,EQSLSENT)\r\n"
                    "\tVALUES('MAIN','K1ABC',#2023-01-05 14:07#,'20M','CW','DL1QLT','O''NEIL',TRUE)"),
            1);
  EXPECT_EQ(Count("LOGS"), 1);
  // Text compares without regard to case; an absent band matches IS NULL.
  std::int32_t count = 0;
  ASSERT_EQ(server_->GetRecordCountWhere(InText("LOGS"),
                                         InText("LOGNAME='main' AND \r\n\t(OMCALL='k1abc') AND\r\n\t"
                                                "(QSODATE=#2023-01-05 14:07#) AND\r\n\t(QSOBAND='20m')"),
                                         &count),
            S_OK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(Execute("UPDATE LOGS SET\r\n\tOMQTH=\"Bree\"\r\nWHERE LOGNAME='MAIN' AND "
                    "\r\n\t(OMCALL='K1ABC');"),
            1);
  EXPECT_EQ(Execute("UPDATE LOGS SET OMQTH='x' WHERE OMCALL='NOBODY'"), 0);
  EXPECT_EQ(Execute("INSERT INTO LOGS (NOSUCH) VALUES (1)"), 0);
  EXPECT_EQ(Execute("UPDATE LOGS SET OMQTH='a'; DELETE FROM LOGS"), 0);
  EXPECT_EQ(Count("LOGS"), 1);

  Statement row = db_.Prepare("SELECT OMNAME, OMQTH, QSODATE, EQSLSENT FROM LOGS");
  ASSERT_TRUE(row.Step());
  EXPECT_EQ(row.Text(0), "O'NEIL");
  EXPECT_EQ(row.Text(1), "Bree");
  EXPECT_EQ(row.Text(2), "2023-01-05 14:07:00");
  EXPECT_EQ(row.Integer(3), 1);
  // The refusals are in the journal.
  EXPECT_EQ(QueryInteger(db_, "SELECT COUNT(*) FROM JOURNAL WHERE LINE LIKE 'SQL error: %'"), 2);
}

// Statements run with their values bound store what the same statement
// run as text stores: same values, same types.
TEST_F(QueryProtocol, BoundValuesStoreWhatLiteralsStore) {
  const char* values = "'X', \"O'NEIL\", 14.07400, 7, TRUE, NULL, #2024-02-29 23:59#, 'a''b'";
  EXPECT_EQ(Execute(std::string("INSERT INTO LOGS (LOGNAME,OMCALL,QSOFREQ,DXCC,QSLSENT,OMQTH,QSODATE,"
                                "OMNAME) VALUES(") +
                    values + ")"),
            1);
  // ORDER BY keeps this one from being bound: it runs as translated text.
  EXPECT_EQ(Execute(std::string("INSERT INTO LOGS (LOGNAME,OMCALL,QSOFREQ,DXCC,QSLSENT,OMQTH,QSODATE,"
                                "OMNAME) SELECT ") +
                    values + " ORDER BY 1"),
            1);
  EXPECT_EQ(Execute("UPDATE LOGS SET OMQTH='x' ORDER BY 1; DELETE FROM LOGS"), 0);
  Statement rows = db_.Prepare(
      "SELECT quote(LOGNAME), quote(OMCALL), quote(QSOFREQ), quote(DXCC), quote(QSLSENT), quote(OMQTH), "
      "quote(QSODATE), quote(OMNAME) FROM LOGS ORDER BY ID");
  std::vector<std::string> stored;
  while (rows.Step()) {
    std::string row;
    for (int i = 0; i < rows.ColumnCount(); ++i) row += rows.Text(i) + "|";
    stored.push_back(row);
  }
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0], "'X'|'O''NEIL'|14.074|'7'|1|NULL|'2024-02-29 23:59:00'|'a''b'|");
  EXPECT_EQ(stored[1], stored[0]);
}

TEST_F(QueryProtocol, TheQsoKeyConditionSearchesTheIndex) {
  Statement plan = db_.Prepare(
      "EXPLAIN QUERY PLAN SELECT COUNT(*) FROM LOGS WHERE LOGNAME=? AND (OMCALL=?) AND (QSODATE=?) "
      "AND (QSOBAND IS NULL) AND (QSOMODE=?) AND (CALLSIGN=?)");
  ASSERT_TRUE(plan.Step());
  EXPECT_NE(plan.Text(3).find("USING COVERING INDEX LOGS_QSO (LOGNAME=? AND OMCALL=? AND QSODATE=? AND "
                              "QSOBAND=? AND QSOMODE=? AND CALLSIGN=?)"),
            std::string::npos)
      << plan.Text(3);
}

TEST(DateTimeSplit, AcceptsTheStoredFormsOnly) {
  const DateTimeParts parts = SplitDateTime("2024-02-29 23:59:58.999");
  EXPECT_EQ(parts.year, 2024);
  EXPECT_EQ(parts.second, 58);
  EXPECT_EQ(SplitDateTime("2024-02-29").hour, 0);
  EXPECT_EQ(SplitDateTime("2024-02-29 12:30").minute, 30);
  EXPECT_THROW(SplitDateTime("29.02.2024"), HostError);
  EXPECT_THROW(SplitDateTime(""), HostError);
}

}  // namespace
}  // namespace quillet::host

namespace quillet::host {
namespace {

TEST_F(QueryProtocol, ARefusedStatementAnswersZeroButADatabaseThatCannotWriteFails) {
  int observed = 0;
  server_->SetStatementObserver([&observed] { ++observed; });
  EXPECT_EQ(Execute("INSERT INTO UNIQUECALL (ID, Callsign) VALUES (1, \"K9DUP\")"), 0);  // taken ID
  EXPECT_TRUE(server_->Fault().empty());

  db_.Exec("PRAGMA query_only = ON");  // as a read-only file or a full disk would
  std::int32_t result = -1;
  EXPECT_LT(
      server_->ExecuteSQL(InText("INSERT INTO UNIQUECALL (ID, Callsign) VALUES (9, \"K9NEW\")"), &result), 0);
  EXPECT_NE(server_->Fault().find("cannot be written"), std::string::npos) << server_->Fault();
  EXPECT_NE(TakeErrorDescription().find("cannot be written"), std::string::npos);
  EXPECT_EQ(observed, 2);
}

// Rows another connection sees: the committed state of the database.
std::int64_t CommittedCount(const std::string& path, const std::string& sql) {
  Database reader = Database::OpenExisting(path);
  return QueryInteger(reader, sql);
}

TEST_F(QueryProtocol, ABatchCommitsAtTheEndAndARefusedStatementLeavesTheOthers) {
  server_->SetCommitPolicy(CommitPolicy::Batched);
  EXPECT_EQ(Execute("INSERT INTO UNIQUECALL (ID, Callsign) VALUES (10, \"K9ONE\")"), 1);
  EXPECT_EQ(Execute("INSERT INTO UNIQUECALL (ID, Callsign) VALUES (11, \"K9TWO\")"), 1);
  // A taken ID: the statement's own first row is undone with it.
  EXPECT_EQ(Execute("INSERT INTO UNIQUECALL (ID, Callsign) VALUES (12, 'K9BAD'), (1, 'K9DUP')"), 0);
  EXPECT_EQ(Execute("UPDATE UNIQUECALL SET Continent='AF' WHERE ID IN (10, 11)"), 2);
  EXPECT_TRUE(server_->Fault().empty());
  EXPECT_TRUE(db_.InTransaction());

  // Another connection reads while the batch is open, and sees none of it.
  const std::string path = folder_.File("host.sqlite");
  EXPECT_EQ(CommittedCount(path, "SELECT COUNT(*) FROM UNIQUECALL WHERE ID >= 10"), 0);

  server_->CommitWrites();
  EXPECT_FALSE(server_->CommitFailed());
  EXPECT_FALSE(db_.InTransaction());
  EXPECT_EQ(CommittedCount(path, "SELECT COUNT(*) FROM UNIQUECALL WHERE ID >= 10"), 2);
  EXPECT_EQ(CommittedCount(path, "SELECT COUNT(*) FROM UNIQUECALL WHERE ID >= 10 AND Continent = 'AF'"), 2);
  EXPECT_EQ(CommittedCount(path, "SELECT COUNT(*) FROM UNIQUECALL WHERE Callsign IN ('K9BAD', 'K9DUP')"), 0);
  EXPECT_EQ(QueryInteger(db_, "SELECT COUNT(*) FROM JOURNAL WHERE LINE LIKE 'SQL error: %'"), 1);
}

TEST_F(QueryProtocol, ABatchHoldsTheWriterLockFromItsFirstQuery) {
  server_->SetCommitPolicy(CommitPolicy::Batched);
  std::int32_t count = -1;
  ASSERT_EQ(server_->GetRecordCountWhere(InText("UNIQUECALL"), InText("Callsign='K1ABC'"), &count), S_OK);
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(db_.InTransaction());
  // A second writer, one that does not wait, cannot begin until the batch commits.
  sqlite3* opened = nullptr;
  const std::string path = folder_.File("host.sqlite");
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &opened, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> other(opened, sqlite3_close);
  EXPECT_EQ(sqlite3_exec(other.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_BUSY);
  server_->CommitWrites();
  EXPECT_EQ(sqlite3_exec(other.get(), "BEGIN IMMEDIATE; COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
}

TEST(HostCoreBatch, TheModulesRefreshCommitsTheOpenBatch) {
  TempFolder folder;
  Database db(folder.File("host.sqlite"), Durability::Wal);
  Journal journal(db);
  Ref<HostCore> core = MakeRef<HostCore>(db, journal, HostVariables{});
  core->Server().SetCommitPolicy(CommitPolicy::Batched);
  std::int32_t result = -1;
  const InText insert("INSERT INTO UNIQUECALL (ID, Callsign) VALUES (5, 'K9RF')");
  ASSERT_EQ(core->Server().ExecuteSQL(insert, &result), S_OK);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(db.InTransaction());
  ASSERT_EQ(core->Kernel().SendCommand(InText("REFRESH"), InText("")), S_OK);
  EXPECT_FALSE(db.InTransaction());
  EXPECT_EQ(CommittedCount(folder.File("host.sqlite"), "SELECT COUNT(*) FROM UNIQUECALL WHERE ID = 5"), 1);
}

TEST_F(QueryProtocol, EachStatementCommitsOnItsOwnByDefault) {
  EXPECT_EQ(Execute("INSERT INTO UNIQUECALL (ID, Callsign) VALUES (10, \"K9ONE\")"), 1);
  EXPECT_FALSE(db_.InTransaction());
  EXPECT_EQ(CommittedCount(folder_.File("host.sqlite"), "SELECT COUNT(*) FROM UNIQUECALL WHERE ID = 10"), 1);
}

TEST(LogBook, ChangesRenamesDescribesAndDeletesALog) {
  TempFolder folder;
  Database db(folder.File("logs.sqlite"), Durability::Wal);
  LogBook book(db);
  book.Create({"MAIN", "", "2099-12-31"});
  db.Exec(
      "INSERT INTO LOGS (LOGNAME, OMCALL, QSODATE, QSOBAND, QSOMODE) VALUES "
      "('MAIN', 'K1ABC', '2024-03-02 10:00:00', '20M', 'FT8'),"
      "('MAIN', 'K2ABC', '2024-03-03 11:00:00', '20M', 'CW'),"
      "('MAIN', 'K3ABC', '2024-03-01 09:00:00', '40M', 'FT8')");
  book.Update("MAIN", {"HOME", "KI2D", "2030-01-01"});
  EXPECT_FALSE(book.Find("MAIN"));
  const auto moved = book.Find("HOME");
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->operatorCall, "KI2D");
  EXPECT_EQ(moved->closing, "2030-01-01");

  const LogContents contents = book.Contents("HOME");
  EXPECT_EQ(contents.qsos, 3);
  EXPECT_EQ(contents.firstDate, "2024-03-01");
  EXPECT_EQ(contents.lastDate, "2024-03-03");
  ASSERT_EQ(contents.bands.size(), 2u);
  EXPECT_EQ(contents.bands[0], (std::pair<std::string, std::int64_t>{"20M", 2}));
  EXPECT_EQ(contents.modes[0], (std::pair<std::string, std::int64_t>{"FT8", 2}));

  book.Create({"OTHER", "K1ABC", "2099-12-31"});
  EXPECT_THROW(book.Update("HOME", {"other", "KI2D", "2030-01-01"}), HostError);
  book.Delete("HOME");
  EXPECT_FALSE(book.Find("HOME"));
  EXPECT_EQ(QueryInteger(db, "SELECT COUNT(*) FROM LOGS"), 0);
}

}  // namespace
}  // namespace quillet::host
