// How a record merges into the QSOs already stored: what an UPDATE sets
// (planned), which stored QSOs it touches and the match window (the run
// asking a fake host), and what the run counts and copies to the error file.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/import_engine.h"
#include "engine/match_window.h"
#include "engine/qso_plan_fixture.h"
#include "support/fake_host.h"

namespace quillet::testing {
namespace {

bool Holds(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

// The SET list of an UPDATE statement.
std::u16string SetList(const std::u16string& statement) {
  const std::size_t where = statement.find(u"\r\nWHERE ");
  return statement.substr(0, where);
}

// Whole runs of a few records over a fake host that records the existence
// conditions it is asked and answers them as a test says.
class RecordRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.OnRecordCountWhere([this](std::u16string_view, std::u16string_view condition) {
      conditions.emplace_back(condition);
      return answer ? answer(condition) : storedCount;
    });
  }
  const RunReport& Run(const std::vector<std::u16string>& records) {
    std::string bytes = "<EOH>\r\n";
    for (const std::u16string& record : records) bytes += Utf16ToUtf8(record) + "\r\n";
    source = folder.File("run" + std::to_string(++runs) + ".adi");
    WriteBytes(source, bytes);
    port.source = source;
    conditions.clear();
    EXPECT_TRUE(engine.RunImport(source, log, dictionaries, u"<EOH>"));
    return engine.LastReport();
  }
  std::string ErrorFileBytes() const { return ReadBytes(folder.File("run" + std::to_string(runs) + ".err")); }
  std::vector<std::u16string> Statements() const { return host.ExecutedStatements(); }

  FakePort port;
  FakeHost host;
  TempFolder folder;
  ImportEngine engine{port, host.Kernel(), host.Server()};
  Dictionaries dictionaries;
  TargetLog log{u"My log", EncodeDate(2023, 1, 10), u"K1ABC"};
  std::u16string source;
  int runs = 0;
  std::vector<std::u16string> conditions;
  // The count of every existence query: answer's, else storedCount.
  std::int32_t storedCount = 0;
  std::function<std::int32_t(std::u16string_view condition)> answer;
};

TEST_F(QsoPlanTest, StatusFlagsOnlyGoUpInAnUpdate) {
  QsoPlan plan = Plan(kKeys + Field(u"QSL_RCVD", u"N") + Field(u"LOTW_QSL_RCVD", u"Y") +
                      Field(u"QSL_SENT", u"y") + Field(u"LOTW_QSLRDATE", u"20230301") + u"<EOR>");
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_EQ(SetList(KeyUpdate(plan)),
            u"UPDATE LOGS SET\r\nLOTWRCVD=TRUE,\r\n\tLOTWRCVDDATE=#2023-03-01#,\r\n\tQSOTIME='12:34'");
  EXPECT_TRUE(plan.holdsConfirmation);
  plan = Plan(kKeys + Field(u"QSL_RCVD", u"N") + Field(u"EQSL_QSL_RCVD", u"N") + u"<EOR>");
  EXPECT_FALSE(Holds(KeyUpdate(plan), u"FALSE"));
  EXPECT_FALSE(plan.holdsConfirmation);
  // A new QSO still stores every flag.
  EXPECT_TRUE(Holds(plan.insert, u"FALSE,FALSE,FALSE,FALSE,FALSE,FALSE"));
}

TEST_F(RecordRunTest, UpdatesCountTheirConfirmations) {
  storedCount = 1;
  const RunReport& report =
      Run({kKeys + Field(u"QSL_RCVD", u"N") + Field(u"LOTW_QSL_RCVD", u"Y") + u"<EOR>",
           kKeys + Field(u"QSL_RCVD", u"N") + Field(u"EQSL_QSL_RCVD", u"N") + u"<EOR>"});
  EXPECT_EQ(report.updated, 2);
  EXPECT_EQ(report.inserted, 0);
  EXPECT_EQ(report.withConfirmation, 1);
  ASSERT_EQ(Statements().size(), 2u);
  EXPECT_TRUE(Statements()[0].starts_with(u"UPDATE LOGS SET\r\nLOTWRCVD=TRUE,"));
}

// Only the band and the operator of the key are set, where the corrections
// read or filled them; the call, date and time and mode never are.
TEST_F(QsoPlanTest, UpdateStoresTheFilledBandAndOperatorInModesOneAndTwo) {
  struct Row {
    CorrectionMode mode;
    std::u16string_view fields;
    std::u16string_view set;  // the key columns in the SET list
  };
  const Row rows[] = {
      {CorrectionMode::None, u"<BAND:3>20m<OPERATOR:5>K1ABC", u""},
      {CorrectionMode::Format, u"<BAND:3>20m<OPERATOR:7> K1ABC ", u"QSOBAND='20M',CALLSIGN='K1ABC',"},
      {CorrectionMode::Format, u"<FREQ:6>14.074<STATION_CALLSIGN:5>K1ABC", u""},
      {CorrectionMode::FillFields, u"<FREQ:6>14.074<STATION_CALLSIGN:5>k1abc",
       u"QSOBAND='20M',CALLSIGN='K1ABC',"},
  };
  for (const Row& row : rows) {
    const std::u16string record = u"<CALL:5>AB1CD<QSO_DATE:8>20230102<TIME_ON:4>1234<MODE:3>SSB" +
                                  std::u16string(row.fields) + u"<EOR>";
    const QsoPlan plan = Plan(record, row.mode);
    ASSERT_EQ(plan.verdict, PlanVerdict::Accepted) << Utf16ToUtf8(record);
    const std::u16string setList = SetList(KeyUpdate(plan));
    std::u16string keysSet;
    for (std::u16string_view column : {u"OMCALL=", u"QSODATE=", u"QSOBAND=", u"QSOMODE=", u"CALLSIGN="}) {
      const std::size_t at = setList.find(column);
      if (at == std::u16string::npos) continue;
      keysSet += setList.substr(at, setList.find_first_of(u",\r", at) - at) + u",";
    }
    EXPECT_EQ(keysSet, row.set) << Utf16ToUtf8(KeyUpdate(plan));
  }
}

TEST_F(QsoPlanTest, TheOperatorIsStoredTrimmedInEveryMode) {
  for (CorrectionMode mode : {CorrectionMode::None, CorrectionMode::Format, CorrectionMode::FillFields}) {
    const QsoPlan plan = Plan(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<OPERATOR:8>\tK1ABC \r<EOR>", mode);
    ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
    EXPECT_TRUE(Holds(plan.insert, u",'K1ABC',NULL,NULL,NULL,NULL)")) << Utf16ToUtf8(plan.insert);
  }
}

// A log holding the QSO once with band and once without: the record with
// the band updates only its own; with exact duplicates, both; with none
// of its own, it is rejected.
TEST_F(RecordRunTest, SeveralStoredQsosNarrowToThoseEqualOnEveryKeyColumn) {
  std::vector<std::int32_t> exact = {1, 2, 0};  // the answers to the exact form, in turn
  answer = [&exact](std::u16string_view condition) {
    if (Holds(condition, u"IS NULL")) return 2;
    const std::int32_t count = exact.front();
    exact.erase(exact.begin());
    return count;
  };
  const RunReport& report = Run({kKeys + u"<EOR>", kKeys + u"<EOR>", kKeys + u"<EOR>"});
  ASSERT_EQ(conditions.size(), 6u);
  EXPECT_EQ(conditions[1],
            u"LOGNAME='My log' AND \r\n\t(OMCALL='AB1CD') AND\r\n\t(QSODATE=#2023-01-02 12:34#) AND"
            u"\r\n\t(QSOBAND='20M') AND\r\n\t(QSOMODE='SSB') AND\r\n\t(CALLSIGN='K1ABC')");
  ASSERT_EQ(Statements().size(), 2u);  // the rejected record has no statement
  EXPECT_TRUE(Statements()[0].ends_with(conditions[1].substr(23) + u";"));
  EXPECT_EQ(report.updated, 2);
  EXPECT_EQ(report.errors, 1);
  ASSERT_EQ(report.namedFailures.size(), 1u);
  EXPECT_EQ(report.namedFailures[0].record, 3);
  EXPECT_EQ(report.namedFailures[0].reason, u"matches 2 stored QSOs");
  EXPECT_EQ(ErrorFileBytes(), "<EOH>\r\n" + Utf16ToUtf8(kKeys) + "<EOR>\r\n");
}

TEST_F(RecordRunTest, MatchWindowUpdatesTheOneStoredQsoNearTheMinute) {
  port.window = 2;
  std::vector<std::int32_t> nearby = {1, 2, 0};  // the answers to the window form, in turn
  answer = [&nearby](std::u16string_view condition) {
    if (!Holds(condition, u"QSODATE>=")) return 0;
    const std::int32_t count = nearby.front();
    nearby.erase(nearby.begin());
    return count;
  };
  const RunReport& report =
      Run({kKeys + Field(u"LOTW_QSL_RCVD", u"Y") + u"<EOR>", kKeys + u"<EOR>", kKeys + u"<EOR>"});
  ASSERT_EQ(conditions.size(), 6u);
  EXPECT_TRUE(Holds(conditions[1],
                    u"(QSODATE>=#2023-01-02 12:32# AND QSODATE<=#2023-01-02 12:36#) AND"
                    u"\r\n\t(QSOBAND='20M' OR QSOBAND IS NULL)"));
  ASSERT_EQ(Statements().size(), 2u);
  EXPECT_TRUE(Statements()[0].ends_with(conditions[1].substr(23) + u";"));
  EXPECT_FALSE(Holds(Statements()[0], u"QSOTIME"));  // the stored QSO keeps its time
  EXPECT_EQ(report.matchedWithin[MatchWindowIndex(2)], 1);
  ASSERT_EQ(report.namedFailures.size(), 1u);
  EXPECT_EQ(report.namedFailures[0].reason, u"matches 2 stored QSOs within 2 minutes");
  EXPECT_TRUE(Statements()[1].starts_with(u"INSERT"));
  // The exact minute asks once, for a new QSO as for a stored one.
  port.window = 0;
  nearby = {1};
  Run({kKeys + u"<EOR>"});
  EXPECT_EQ(conditions.size(), 1u);
  EXPECT_TRUE(Statements().back().starts_with(u"INSERT"));
}

TEST_F(RecordRunTest, IgnoredRecordsAreCountedAndCopied) {
  std::vector<std::u16string> records;
  std::string expectedFile = "<EOH>\r\n";
  int accepted = 0;
  for (const DateOperatorRow& row : kDateOperatorRows) {
    const std::u16string record = DateOperatorRecord(row);
    if (Holds(record, u"\r")) continue;  // a line break inside a value: the plan's table has it
    records.push_back(record);
    if (row.expected == PlanVerdict::Ignored) expectedFile += Utf16ToUtf8(record) + "\r\n";
    accepted += row.expected == PlanVerdict::Accepted;
  }
  const RunReport& report = Run(records);
  EXPECT_EQ(report.ignored, 3);
  EXPECT_EQ(report.inserted, accepted);
  EXPECT_EQ(ErrorFileBytes(), expectedFile);
}

TEST_F(RecordRunTest, RecordsThatDoNotConvertAreCopiedWithoutAskingTheHost) {
  std::vector<std::u16string> records;
  std::string expectedFile = "<EOH>\r\n";
  for (const ConversionRow& row : kConversionRows) {
    records.emplace_back(row.record);
    expectedFile += Utf16ToUtf8(row.record) + "\r\n";
  }
  const RunReport& report = Run(records);
  EXPECT_EQ(report.errors, 9);
  EXPECT_EQ(report.inserted + report.updated + report.ignored, 0);
  EXPECT_TRUE(conditions.empty());
  EXPECT_TRUE(Statements().empty());
  ASSERT_EQ(report.namedFailures.size(), 9u);
  for (std::size_t i = 0; i < report.namedFailures.size(); ++i)
    EXPECT_EQ(report.namedFailures[i].reason, kConversionRows[i].message);
  EXPECT_EQ(ErrorFileBytes(), expectedFile);
}

TEST(MatchWindow, RangeCrossesDaysAndYears) {
  EXPECT_EQ(WindowRange(u"D", u"#2023-12-31 23:58#", 5), u"D>=#2023-12-31 23:53# AND D<=#2024-01-01 00:03#");
  EXPECT_EQ(WindowRange(u"D", u"#2024-03-01 00:10#", 30), u"D>=#2024-02-29 23:40# AND D<=#2024-03-01 00:40#");
  EXPECT_EQ(WindowRange(u"D", u"#2024-03-01#", 1), u"");  // no time to centre on
  EXPECT_EQ(MinutesText(1), u"1 minute");
  EXPECT_EQ(MatchWindowIndex(7), 0u);
}

}  // namespace
}  // namespace quillet::testing
