// How a record merges into the QSOs already stored: what an UPDATE sets,
// which stored QSOs it touches, and the match window.
#include <gtest/gtest.h>

#include "engine/match_window.h"
#include "engine/record_step_fixture.h"

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

TEST_F(RecordStepTest, StatusFlagsOnlyGoUpInAnUpdate) {
  storedCount = 1;
  ASSERT_EQ(Import(kKeys + Field(u"QSL_RCVD", u"N") + Field(u"LOTW_QSL_RCVD", u"Y") +
                   Field(u"QSL_SENT", u"y") + Field(u"LOTW_QSLRDATE", u"20230301") + u"<EOR>"),
            RecordOutcome::Update);
  EXPECT_EQ(SetList(statement),
            u"UPDATE LOGS SET\r\nLOTWRCVD=TRUE,\r\n\tLOTWRCVDDATE=#2023-03-01#,\r\n\tQSOTIME='12:34'");
  EXPECT_TRUE(step.UpdateHoldsConfirmation());
  ASSERT_EQ(Import(kKeys + Field(u"QSL_RCVD", u"N") + Field(u"EQSL_QSL_RCVD", u"N") + u"<EOR>"),
            RecordOutcome::Update);
  EXPECT_FALSE(Holds(statement, u"FALSE"));
  EXPECT_FALSE(step.UpdateHoldsConfirmation());
  EXPECT_EQ(counters.updated, 2);
  EXPECT_EQ(counters.withConfirmation, 1);
  // A new QSO still stores every flag.
  storedCount = 0;
  ASSERT_EQ(Import(kKeys + Field(u"QSL_RCVD", u"N") + u"<EOR>"), RecordOutcome::Insert);
  EXPECT_TRUE(Holds(statement, u"FALSE,FALSE,FALSE,FALSE,FALSE,FALSE"));
}

// Only the band and the operator of the key are set, where the corrections
// read or filled them; the call, date and time and mode never are.
TEST_F(RecordStepTest, UpdateStoresTheFilledBandAndOperatorInModesOneAndTwo) {
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
  storedCount = 1;
  for (const Row& row : rows) {
    dialog.mode = row.mode;
    const std::u16string record = u"<CALL:5>AB1CD<QSO_DATE:8>20230102<TIME_ON:4>1234<MODE:3>SSB" +
                                  std::u16string(row.fields) + u"<EOR>";
    ASSERT_EQ(Import(record), RecordOutcome::Update) << Utf16ToUtf8(record);
    std::u16string keysSet;
    for (std::u16string_view column : {u"OMCALL=", u"QSODATE=", u"QSOBAND=", u"QSOMODE=", u"CALLSIGN="}) {
      const std::size_t at = SetList(statement).find(column);
      if (at == std::u16string::npos) continue;
      keysSet += SetList(statement).substr(at, SetList(statement).find_first_of(u",\r", at) - at) + u",";
    }
    EXPECT_EQ(keysSet, row.set) << Utf16ToUtf8(statement);
  }
}

TEST_F(RecordStepTest, TheOperatorIsStoredTrimmedInEveryMode) {
  for (CorrectionMode mode : {CorrectionMode::None, CorrectionMode::Format, CorrectionMode::FillFields}) {
    dialog.mode = mode;
    ASSERT_EQ(Import(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<OPERATOR:8>\tK1ABC \r<EOR>"), RecordOutcome::Insert);
    EXPECT_TRUE(Holds(statement, u",'K1ABC',NULL,NULL,NULL,NULL)")) << Utf16ToUtf8(statement);
  }
}

// A log holding the QSO once with band and once without: the record with
// the band updates only its own; with exact duplicates, both.
TEST_F(RecordStepTest, SeveralStoredQsosNarrowToThoseEqualOnEveryKeyColumn) {
  std::int32_t exact = 1;
  answer = [&exact](std::u16string_view condition) { return Holds(condition, u"IS NULL") ? 2 : exact; };
  ASSERT_EQ(Import(kKeys + u"<EOR>"), RecordOutcome::Update);
  ASSERT_EQ(conditions.size(), 2u);
  EXPECT_EQ(conditions[1],
            u"LOGNAME='My log' AND \r\n\t(OMCALL='AB1CD') AND\r\n\t(QSODATE=#2023-01-02 12:34#) AND"
            u"\r\n\t(QSOBAND='20M') AND\r\n\t(QSOMODE='SSB') AND\r\n\t(CALLSIGN='K1ABC')");
  EXPECT_TRUE(statement.ends_with(conditions[1].substr(23) + u";"));
  exact = 2;
  EXPECT_EQ(Import(kKeys + u"<EOR>"), RecordOutcome::Update);
  exact = 0;
  EXPECT_EQ(Import(kKeys + u"<EOR>"), RecordOutcome::Failed);
  EXPECT_EQ(step.FailureReason(), u"matches 2 stored QSOs");
  EXPECT_TRUE(statement.empty());
  EXPECT_EQ(counters.updated, 2);
  EXPECT_EQ(counters.errors, 1);
  EXPECT_EQ(ReadBytes(errorFile.ErrorFilePath()), "<EOH>\r\n" + Utf16ToUtf8(kKeys) + "<EOR>\r\n");
}

TEST_F(RecordStepTest, MatchWindowUpdatesTheOneStoredQsoNearTheMinute) {
  dialog.window = 2;
  std::int32_t nearby = 1;
  answer = [&nearby](std::u16string_view condition) { return Holds(condition, u"QSODATE>=") ? nearby : 0; };
  ASSERT_EQ(Import(kKeys + Field(u"LOTW_QSL_RCVD", u"Y") + u"<EOR>"), RecordOutcome::Update);
  ASSERT_EQ(conditions.size(), 2u);
  EXPECT_TRUE(Holds(conditions[1],
                    u"(QSODATE>=#2023-01-02 12:32# AND QSODATE<=#2023-01-02 12:36#) AND"
                    u"\r\n\t(QSOBAND='20M' OR QSOBAND IS NULL)"));
  EXPECT_TRUE(statement.ends_with(conditions[1].substr(23) + u";"));
  EXPECT_FALSE(Holds(statement, u"QSOTIME"));  // the stored QSO keeps its time
  EXPECT_EQ(step.MatchedWindow(), 2);
  EXPECT_EQ(counters.matchedWithin[MatchWindowIndex(2)], 1);

  nearby = 2;
  EXPECT_EQ(Import(kKeys + u"<EOR>"), RecordOutcome::Failed);
  EXPECT_EQ(step.FailureReason(), u"matches 2 stored QSOs within 2 minutes");
  nearby = 0;
  EXPECT_EQ(Import(kKeys + u"<EOR>"), RecordOutcome::Insert);
  // The exact minute asks once, for a new QSO as for a stored one.
  dialog.window = 0;
  conditions.clear();
  nearby = 1;
  EXPECT_EQ(Import(kKeys + u"<EOR>"), RecordOutcome::Insert);
  EXPECT_EQ(conditions.size(), 1u);
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
