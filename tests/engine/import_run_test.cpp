#include "engine/import_engine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/fake_dialog.h"
#include "platform/files.h"
#include "refdata/dictionaries.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"
#include "support/fake_host.h"

namespace quillet::testing {
namespace {

constexpr char kHeader[] = "<ADIF_VER:5>3.1.0\r\n<EOH>\r\n";

std::string Record(std::string_view call, std::string_view date = "20230102", std::string_view op = "K1ABC") {
  return "<CALL:" + std::to_string(call.size()) + ">" + std::string(call) +
         "<QSO_DATE:" + std::to_string(date.size()) + ">" + std::string(date) + "<OPERATOR:5>" +
         std::string(op) + "<EOR>\r\n";
}

class ImportRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.SetVariable(u"APPLICATION", u"Hosty");
    host.SetVariable(u"APPVERSION", u"2.1");
    errorFileHeader = engine.BuildErrorFileHeader();
    host.ClearCalls();
  }
  bool Run(std::string_view name, std::string_view bytes) {
    source = folder.File(name);
    if (!bytes.empty() || name != "missing.adi") WriteBytes(source, bytes);
    dialog.source = source;
    return engine.RunImport(source, {u"My log", EncodeDate(2030, 1, 1), u"K1ABC"}, dictionaries,
                            errorFileHeader);
  }
  std::u16string ImportLine() const {
    return u"* Import: " + ExtractFileName(source) + u" from " + ExtractFileDir(source) + u"\r\n";
  }
  // The memo up to the done line, and the elapsed time it shows.
  std::u16string MemoBeforeDone(std::u16string* elapsed = nullptr) const {
    const std::size_t done = dialog.memo.rfind(u"* Done. Elapsed time ");
    if (done == std::u16string::npos) return u"(no done line)";
    if (elapsed != nullptr) *elapsed = dialog.memo.substr(done + 21);
    return dialog.memo.substr(0, done);
  }

  FakeDialog dialog;
  FakeHost host;
  TempFolder folder;
  ImportEngine engine{dialog, host.Kernel(), host.Server()};
  Dictionaries dictionaries;
  std::u16string errorFileHeader;
  std::u16string source;
};

TEST_F(ImportRunTest, CompleteRunWritesTranscriptProgressJournalAndRefresh) {
  WriteBytes(folder.File("contest.err"), "left over");
  ASSERT_TRUE(Run("contest.adi", kHeader + Record("A1A") + Record("B1B") + Record("C1C")));
  std::u16string elapsed;
  EXPECT_EQ(MemoBeforeDone(&elapsed),
            ImportLine() +
                u"* ADIF Version: 3.1.0\r\n   Parsing ADIF data... found records: 3\r\n"
                u"      Inserted to log: 3\r\n");
  EXPECT_EQ(elapsed.size(), 8u);
  EXPECT_EQ(dialog.progress, (std::vector<int>{0, 33, 66, 100, 0}));
  EXPECT_EQ(dialog.scrolls.back(), dialog.MemoLineCount() - 1);
  EXPECT_EQ(host.LogLines(), (std::vector<std::u16string>{u"Exec: Append ADIF data into current log, " +
                                                          source + u" processed (" + elapsed + u")"}));
  ASSERT_EQ(host.Commands().size(), 1u);
  EXPECT_EQ(host.Commands()[0].first, u"REFRESH");
  EXPECT_EQ(host.Commands()[0].second, u"0");
  EXPECT_EQ(host.ExecutedStatements().size(), 3u);
  EXPECT_FALSE(
      FileExists(folder.File("contest.err")));  // an older error file goes even when nothing is rejected
}

TEST_F(ImportRunTest, RejectedRecordsAreSummarisedAndTheRunGoesOn) {
  std::string bytes = kHeader;
  for (int i = 0; i < 12; ++i) bytes += Record("BAD" + std::to_string(i), "2023131");
  bytes += Record("FOREIGN", "20230102", "W1XYZ") + Record("REFUSED") + Record("GOOD") +
           "\r\n";  // and a blank one
  host.OnExecuteSQL(
      [](std::u16string_view sql) { return sql.find(u"REFUSED") == std::u16string_view::npos; });
  ASSERT_TRUE(Run("s.adi", bytes));
  std::u16string expected = ImportLine() +
                            u"* ADIF Version: 3.1.0\r\n   Parsing ADIF data... found records: 16\r\n"
                            u"      Inserted to log: 1\r\n      Ignored: 1 (wrong callsign/date)\r\n"
                            u"         by operator W1XYZ: 1\r\n"
                            u"      Errors found: 13, copied to s.err\r\n";
  for (int i = 1; i <= 10; ++i)
    expected += u"      Record " + IntToText(i) + u": QSO_DATE 2023131: Invalid argument to date encode\r\n";
  expected += u"      and 2 more\r\n";
  EXPECT_EQ(MemoBeforeDone(), expected);
  const std::string errors = ReadBytes(folder.File("s.err"));
  EXPECT_NE(errors.find("<EOH>\r\n" + Record("BAD0", "2023131")), std::string::npos);
  EXPECT_NE(errors.find(Record("FOREIGN", "20230102", "W1XYZ") + Record("REFUSED")), std::string::npos);
  EXPECT_EQ(host.LogLines().front(), u"Warning: ADIF errors found, saved in s.err");
  EXPECT_EQ(dialog.errorCaption, u"Warning: ADIF errors found");
}

// Under the update count: those that brought a confirmation and those
// matched within the window; an update the host refuses counts in neither.
TEST_F(ImportRunTest, UpdatesTellConfirmationsAndWindowMatches) {
  dialog.window = 5;
  host.OnRecordCountWhere([](std::u16string_view, std::u16string_view condition) {
    const bool nearby = condition.find(u"NEAR") != std::u16string_view::npos;
    return nearby == (condition.find(u"QSODATE>=") != std::u16string_view::npos) ? 1 : 0;
  });
  host.OnExecuteSQL(
      [](std::u16string_view sql) { return sql.find(u"REFUSED") == std::u16string_view::npos; });
  const auto confirmed = [](std::string record) {
    return record.insert(record.find("<EOR>"), "<QSL_RCVD:1>Y");
  };
  ASSERT_TRUE(Run("u.adi", kHeader + Record("STORED") + confirmed(Record("NEAR")) +
                               confirmed(Record("STORED2")) + confirmed(Record("REFUSED"))));
  EXPECT_EQ(MemoBeforeDone(), ImportLine() +
                                  u"* ADIF Version: 3.1.0\r\n   Parsing ADIF data... found records: 4\r\n"
                                  u"      Updated in log: 3\r\n         with a confirmation: 2\r\n"
                                  u"         matched within 5 minutes: 1\r\n"
                                  u"      Errors found: 1, copied to u.err\r\n");
}

TEST_F(ImportRunTest, RunWithoutRecordsEndsAtFullProgress) {
  ASSERT_TRUE(Run("header.adi", "<PROGRAMID:3>abc\r\n<EOH>\r\n"));
  EXPECT_EQ(MemoBeforeDone(), ImportLine() + u"* ADIF Version: Undefined\r\n");
  EXPECT_EQ(dialog.progress, (std::vector<int>{100, 0}));
  dialog = FakeDialog();
  ASSERT_TRUE(Run("empty.adi", ""));
  EXPECT_EQ(MemoBeforeDone(), ImportLine());
  EXPECT_EQ(dialog.progress, (std::vector<int>{100, 0}));
  EXPECT_EQ(host.Commands().size(), 2u);
}

TEST_F(ImportRunTest, UnreadableSourceIsReportedAndFails) {
  EXPECT_FALSE(Run("missing.adi", ""));
  ASSERT_EQ(host.Errors().size(), 1u);
  EXPECT_EQ(host.Errors()[0].first, u"Resource open error: " + source);
  EXPECT_EQ(host.Errors()[0].second, u"Error");
  EXPECT_EQ(host.LogLines(), (std::vector<std::u16string>{u"Exec: Append ADIF data into current log, " +
                                                          source + u" failed."}));
  EXPECT_TRUE(dialog.memo.empty());
  EXPECT_EQ(dialog.progress, (std::vector<int>{0}));
  EXPECT_TRUE(host.Commands().empty());
}

TEST_F(ImportRunTest, FailureStatusEndsTheRunWithoutSummary) {
  for (const char* method : {"ExecuteSQL", "GetRecordCountWhere"}) {
    SCOPED_TRACE(method);
    FakeHost failing;
    FakeDialog failingDialog;
    ImportEngine failingEngine(failingDialog, failing.Kernel(), failing.Server());
    failing.FailAt(method, 2, E_FAIL, u"disk full");
    const std::u16string path = folder.File(std::string(method) + ".adi");
    WriteBytes(path, kHeader + Record("FOREIGN", "20230102", "W1XYZ") + Record("A1A") + Record("B1B"));
    EXPECT_THROW(failingEngine.RunImport(path, {u"My log", EncodeDate(2030, 1, 1), u"K1ABC"}, dictionaries,
                                         errorFileHeader),
                 Exception);
    EXPECT_EQ(failingDialog.memo.find(u"found records"), std::u16string::npos);
    EXPECT_EQ(failingDialog.memo.find(u"* Done."), std::u16string::npos);
    EXPECT_EQ(failing.LogLines().size(), 1u);  // the error-file warning only, no "Exec: " line
    EXPECT_TRUE(failing.Commands().empty());
    const std::string errors = ReadBytes(folder.File(std::string(method) + ".err"));
    EXPECT_EQ(errors.substr(errors.size() - Record("FOREIGN").size() - 7),
              "<EOH>\r\n" + Record("FOREIGN", "20230102", "W1XYZ"));
  }
}

// Asked to quit, the run stops at the first piece it reads, silently: no
// statement, no summary, no journal line.
TEST_F(ImportRunTest, ARunAskedToQuitStopsBeforeItsNextRecord) {
  dialog.quitAfterMessages = 0;
  EXPECT_THROW(Run("quit.adi", kHeader + Record("A1A") + Record("B1B")), EAbort);
  EXPECT_EQ(std::count(host.Calls().begin(), host.Calls().end(), "ExecuteSQL"), 0);
  EXPECT_EQ(dialog.memo.find(u"found records"), std::u16string::npos);
  EXPECT_TRUE(host.LogLines().empty());
}

// A source named like an error file stays; its rejects get a file of their own.
TEST_F(ImportRunTest, ErrorFileOfAnErrorFileKeepsSourceAndEncoding) {
  const std::string bytes = "\xEF\xBB\xBF" + std::string(kHeader) + Record("\xC3\xA9", "20230102", "W1XYZ");
  ASSERT_TRUE(Run("old.err", bytes));
  EXPECT_EQ(ReadBytes(source), bytes);
  const std::string errors = ReadBytes(folder.File("old.err.err"));
  EXPECT_EQ(errors.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(errors.substr(errors.size() - Record("\xC3\xA9").size()),
            Record("\xC3\xA9", "20230102", "W1XYZ"));
  const std::vector<std::u16string>& journal = host.LogLines();
  EXPECT_NE(std::find(journal.begin(), journal.end(), u"Warning: ADIF errors found, saved in old.err.err"),
            journal.end());
}

// The closing date first, then the five operators met most often, the
// rest together, and the records without an operator.
TEST_F(ImportRunTest, IgnoredRecordsAreCountedByCause) {
  std::string bytes = kHeader;
  bytes += Record("LATE1", "20300103") + Record("LATE2", "20300105", "W1XYZ");
  const char* const operators[] = {"W1AAA", "W1BBB", "W1BBB", "W1CCC", "W1CCC", "W1CCC",
                                   "W1DDD", "W1EEE", "W1FFF", "W1GGG", "W1GGG"};
  for (const char* op : operators) bytes += Record("X", "20230102", op);
  bytes += "<CALL:1>Y<QSO_DATE:8>20230102<EOR>\r\n<CALL:1>Z<QSO_DATE:8>20230102<OPERATOR:7>\tK1ABC <EOR>";
  ASSERT_TRUE(Run("ignored.adi", bytes));
  EXPECT_EQ(MemoBeforeDone(), ImportLine() +
                                  u"* ADIF Version: 3.1.0\r\n   Parsing ADIF data... found records: 15\r\n"
                                  u"      Inserted to log: 1\r\n      Ignored: 14 (wrong callsign/date)\r\n"
                                  u"         dated after the closing date: 2\r\n"
                                  u"         by operator W1CCC: 3\r\n         by operator W1BBB: 2\r\n"
                                  u"         by operator W1GGG: 2\r\n         by operator W1AAA: 1\r\n"
                                  u"         by operator W1DDD: 1\r\n         and 2 more operators: 2\r\n"
                                  u"         without operator: 1\r\n");
}

// Real files end with markers after the last record, or hold times no
// clock shows: neither ends the run, and only the times are errors.
TEST_F(ImportRunTest, MarkersAreBlankAndImpossibleTimesAreErrors) {
  const std::string bytes = std::string("<ADIF_VER:99999999999>3\r\n<EOH>\r\n") + Record("A1A") +
                            "<CALL:3>B1B<QSO_DATE:8>20230102<TIME_ON:4>1260<OPERATOR:5>K1ABC<EOR>\r\n" +
                            Record("C1C") + "<APP_LoTW_EOF>\r\n";
  ASSERT_TRUE(Run("lotw.adi", bytes));
  EXPECT_EQ(MemoBeforeDone(), ImportLine() +
                                  u"* ADIF Version: Undefined\r\n   Parsing ADIF data... found records: 4\r\n"
                                  u"      Inserted to log: 2\r\n      Errors found: 1, copied to lotw.err\r\n"
                                  u"      Record 2: TIME_ON 1260: ''1260'' is not a valid time\r\n");
  const std::string errors = ReadBytes(folder.File("lotw.err"));
  EXPECT_EQ(errors.substr(errors.find("<EOH>\r\n") + 7),
            "<CALL:3>B1B<QSO_DATE:8>20230102<TIME_ON:4>1260<OPERATOR:5>K1ABC<EOR>\r\n");
}

// The error file reads back as its source was read: UTF-8 without a mark
// for a UTF-8 source without one.
TEST_F(ImportRunTest, ErrorFileOfAUtf8SourceWithoutMarkIsUtf8WithoutMark) {
  const std::string foreign = Record(
      "Montr\xC3\xA9"
      "al",
      "20230102", "W1XYZ");
  ASSERT_TRUE(Run("utf8.adi", kHeader + foreign));
  const std::string errors = ReadBytes(folder.File("utf8.err"));
  EXPECT_EQ(errors.substr(0, 14), "# Created by: ");
  EXPECT_EQ(errors.substr(errors.size() - foreign.size()), foreign);
}

}  // namespace
}  // namespace quillet::testing
