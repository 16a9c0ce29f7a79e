#include "engine/import_engine.h"

#include <gtest/gtest.h>
#include <quillet/import_report.h>

#include <algorithm>

#include "engine/fake_port.h"
#include "platform/files.h"
#include "refdata/dictionaries.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"
#include "support/fake_host.h"

namespace quillet::testing {
namespace {

// The reference host's report interface, recording each call as a line.
class RecordingReport final : public IImportReport {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
  HRESULT QUILLET_STDCALL ReportCounts(std::int32_t found, std::int32_t inserted, std::int32_t updated,
                                       std::int32_t withConfirmation, std::int32_t matchedWithinWindow,
                                       std::int32_t ignored, std::int32_t errors) override {
    calls.push_back(FormatText(u"Counts %d %d %d %d %d %d %d", {found, inserted, updated, withConfirmation,
                                                                matchedWithinWindow, ignored, errors}));
    return S_OK;
  }
  HRESULT QUILLET_STDCALL ReportIgnored(BSTR recordOperator, Flag outOfDate, std::int32_t records) override {
    calls.push_back(FormatText(u"Ignored %s %d %d", {OleText(recordOperator), outOfDate, records}));
    return S_OK;
  }
  HRESULT QUILLET_STDCALL ReportFailure(std::int32_t record, BSTR reason) override {
    calls.push_back(FormatText(u"Failure %d %s", {record, OleText(reason)}));
    return S_OK;
  }
  HRESULT QUILLET_STDCALL ReportEnd(std::int32_t failures, BSTR errorFilePath) override {
    calls.push_back(FormatText(u"End %d %s", {failures, OleText(errorFilePath)}));
    return S_OK;
  }

  static std::u16string OleText(BSTR text) {
    return text == nullptr ? std::u16string() : std::u16string(reinterpret_cast<const char16_t*>(text));
  }

  int refs = 0;
  std::vector<std::u16string> calls;
};

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
    port.source = source;
    return engine.RunImport(source, {u"My log", EncodeDate(2030, 1, 1), u"K1ABC"}, dictionaries,
                            errorFileHeader);
  }
  std::u16string ImportLine() const {
    return u"* Import: " + ExtractFileName(source) + u" from " + ExtractFileDir(source) + u"\r\n";
  }
  // The memo up to the done line, and the elapsed time it shows.
  std::u16string MemoBeforeDone(std::u16string* elapsed = nullptr) const {
    const std::size_t done = port.memo.rfind(u"* Done. Elapsed time ");
    if (done == std::u16string::npos) return u"(no done line)";
    if (elapsed != nullptr) *elapsed = port.memo.substr(done + 21);
    return port.memo.substr(0, done);
  }

  RecordingReport report;  // outlives the host, which may hold it
  FakePort port;
  FakeHost host;
  TempFolder folder;
  ImportEngine engine{port, host.Kernel(), host.Server()};
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
  EXPECT_EQ(port.progress, (std::vector<long double>{0, 1.0L / 3, 2.0L / 3, 1, 0}));
  EXPECT_EQ(port.settingsRead, 1);  // once, at the start
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
  EXPECT_EQ(std::count(host.LogLines().begin(), host.LogLines().end(), host.LogLines().front()), 1);
  EXPECT_EQ(port.errorMessage, u"Warning: ADIF errors found");
}

// A host that asks for the run's report gets it, after everything else;
// a host that does not sees the same calls in the same order.
TEST_F(ImportRunTest, AHostThatAsksGetsTheRunReportAndNoOtherHostSeesIt) {
  std::string bytes = kHeader;
  for (int i = 0; i < 11; ++i) bytes += Record("BAD" + std::to_string(i), "2023131");
  bytes += Record("LATE", "20300105", "W1XYZ") + Record("FOREIGN", "20230102", "W1XYZ") + Record("GOOD");
  ASSERT_TRUE(Run("report.adi", bytes));
  const std::vector<std::string> withoutReport = host.Calls();
  host.ClearCalls();
  host.AddInterface(IID_IImportReport, &report);
  ASSERT_TRUE(Run("report.adi", bytes));
  EXPECT_EQ(host.Calls(), withoutReport);
  ASSERT_EQ(report.calls.size(), 14u);
  EXPECT_EQ(report.calls[0], u"Counts 14 1 0 0 0 2 11");
  EXPECT_EQ(report.calls[1], u"Ignored W1XYZ -1 1");  // out of date first, then the other operators
  EXPECT_EQ(report.calls[2], u"Ignored W1XYZ 0 1");
  EXPECT_EQ(report.calls[3], u"Failure 1 QSO_DATE 2023131: Invalid argument to date encode");
  EXPECT_EQ(report.calls[12], u"Failure 10 QSO_DATE 2023131: Invalid argument to date encode");
  EXPECT_EQ(report.calls[13], u"End 11 " + folder.File("report.err"));
}

// Under the update count: those that brought a confirmation and those
// matched within the window; an update the host refuses counts in neither.
TEST_F(ImportRunTest, UpdatesTellConfirmationsAndWindowMatches) {
  port.window = 5;
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
  EXPECT_EQ(port.progress, (std::vector<long double>{1, 0}));
  port = FakePort();
  ASSERT_TRUE(Run("empty.adi", ""));
  EXPECT_EQ(MemoBeforeDone(), ImportLine());
  EXPECT_EQ(port.progress, (std::vector<long double>{1, 0}));
  EXPECT_EQ(host.Commands().size(), 2u);
}

TEST_F(ImportRunTest, UnreadableSourceIsReportedAndFails) {
  EXPECT_FALSE(Run("missing.adi", ""));
  ASSERT_EQ(host.Errors().size(), 1u);
  EXPECT_EQ(host.Errors()[0].first, u"Resource open error: " + source);
  EXPECT_EQ(host.Errors()[0].second, u"Error");
  EXPECT_EQ(host.LogLines(), (std::vector<std::u16string>{u"Exec: Append ADIF data into current log, " +
                                                          source + u" failed."}));
  EXPECT_TRUE(port.memo.empty());
  EXPECT_EQ(port.progress, (std::vector<long double>{0}));
  EXPECT_TRUE(host.Commands().empty());
}

TEST_F(ImportRunTest, FailureStatusEndsTheRunWithoutSummary) {
  for (const char* method : {"ExecuteSQL", "GetRecordCountWhere"}) {
    SCOPED_TRACE(method);
    FakeHost failing;
    FakePort failingPort;
    ImportEngine failingEngine(failingPort, failing.Kernel(), failing.Server());
    failing.FailAt(method, 2, E_FAIL, u"disk full");
    const std::u16string path = folder.File(std::string(method) + ".adi");
    WriteBytes(path, kHeader + Record("FOREIGN", "20230102", "W1XYZ") + Record("A1A") + Record("B1B"));
    EXPECT_THROW(failingEngine.RunImport(path, {u"My log", EncodeDate(2030, 1, 1), u"K1ABC"}, dictionaries,
                                         errorFileHeader),
                 Exception);
    EXPECT_EQ(failingPort.memo.find(u"found records"), std::u16string::npos);
    EXPECT_EQ(failingPort.memo.find(u"* Done."), std::u16string::npos);
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
  port.quitAfterMessages = 0;
  EXPECT_THROW(Run("quit.adi", kHeader + Record("A1A") + Record("B1B")), EAbort);
  EXPECT_EQ(std::count(host.Calls().begin(), host.Calls().end(), "ExecuteSQL"), 0);
  EXPECT_EQ(port.memo.find(u"found records"), std::u16string::npos);
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
