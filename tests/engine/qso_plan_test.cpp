#include "engine/qso_plan.h"

#include <gtest/gtest.h>

#include "engine/qso_plan_fixture.h"
#include "engine/record_fields.h"
#include "engine/sql_rendering.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet::testing {
namespace {

// column + "=" + the literal of value; empty when the column gets no
// assignment.
std::u16string BuildAssignment(const RecordFields& fields, std::u16string_view column, ValueKind kind,
                               std::u16string_view linkedAdifName, std::u16string_view value) {
  TLogField field;
  field.Column = column;
  field.Kind = kind;
  field.LinkedADIFName = linkedAdifName;
  field.Value = value;
  std::u16string assignment(column);
  assignment += u'=';
  return AppendLiteral(assignment, field, fields) ? assignment : std::u16string();
}

struct AssignmentRow {
  ValueKind kind;
  std::u16string_view value;
  std::u16string_view record;  // supplies TIME_ON for DateTime
  std::u16string_view linked;
  std::u16string_view expected;  // the assignment, or the conversion message when raises
  bool raises = false;
};

// A kind the host's table does not describe.
const ValueKind kUndescribedKind = static_cast<ValueKind>(9);

const AssignmentRow kAssignmentRows[] = {
    {ValueKind::Boolean, u"Y", u"", u"", u"C=TRUE"},
    {ValueKind::Boolean, u"y", u"", u"", u"C=FALSE"},
    {ValueKind::Boolean, u"", u"", u"", u"C=FALSE"},
    {ValueKind::Flag, u"N", u"", u"", u"C='N'"},
    {ValueKind::Flag, u"X", u"", u"", u""},
    {ValueKind::Flag, u"", u"", u"", u""},
    {ValueKind::Decimal, u"14.074", u"", u"", u"C=14.074"},
    {ValueKind::Decimal, u"", u"", u"", u"C=NULL"},
    {ValueKind::Decimal, u"14);DROP", u"", u"", u"'14);DROP' is not a valid floating point value", true},
    {ValueKind::Decimal, u"1e5", u"", u"", u"'1e5' is not a valid floating point value", true},
    {ValueKind::Date, u"20230102", u"", u"", u"C=#2023-01-02#"},
    {ValueKind::Date, u"2023131", u"", u"", u"Invalid argument to date encode", true},
    {ValueKind::Date, u"2023x101", u"", u"", u"''x1'' is not a valid integer value", true},
    {ValueKind::Time, u"123", u"", u"", u"C=NULL"},
    {ValueKind::Time, u"1234", u"", u"", u"C='12:34'"},
    {ValueKind::Time, u"123456", u"", u"", u"C='12:34:56'"},
    {ValueKind::Time, u"12:3'4", u"", u"", u"C='12:3''4'"},
    {ValueKind::Time, u"12345", u"", u"", u""},
    {ValueKind::Time, u"2400", u"", u"", u"''2400'' is not a valid time", true},
    {ValueKind::Time, u"123460", u"", u"", u"''123460'' is not a valid time", true},
    {ValueKind::Time, u"12:60", u"", u"", u"''12:60'' is not a valid time", true},
    {ValueKind::Time, u"23:59:59", u"", u"", u"C='23:59:59'"},
    {ValueKind::DateTime, u"20230102", u"<TIME_ON:4>2359", u"TIME_ON", u"C=#2023-01-02 23:59#"},
    {ValueKind::DateTime, u"20230102", u"<TIME_ON:4>2400", u"TIME_ON", u"''2400'' is not a valid time", true},
    {ValueKind::DateTime, u"20230102", u"<TIME_ON:6>123456", u"TIME_ON", u"C=#2023-01-02 12:34#"},
    {ValueKind::DateTime, u"20230102", u"", u"TIME_ON", u"C=#2023-01-02 00:00#"},
    {ValueKind::DateTime, u"20230102", u"", u"", u"C=#2023-01-02#"},
    {ValueKind::DateTime, u"20230102", u"<TIME_ON:5>1' OR", u"TIME_ON", u"''1' OR'' is not a valid time",
     true},
    {ValueKind::DateTime, u"20230102", u"<TIME_ON:3>123", u"TIME_ON", u"''123'' is not a valid time", true},
    {ValueKind::Text, u"O'NE", u"", u"", u"C='O''NE'"},
    {ValueKind::Text, u"", u"", u"", u"C=NULL"},
    {kUndescribedKind, u"x", u"", u"", u""},
};

TEST(SqlRendering, AssignmentsByKind) {
  for (const AssignmentRow& row : kAssignmentRows) {
    SCOPED_TRACE(Utf16ToUtf8(row.value) + " kind " + std::to_string(static_cast<int>(row.kind)));
    const RecordFields fields(row.record, FieldLookup::Indexed);
    if (row.raises) {
      try {
        BuildAssignment(fields, u"C", row.kind, row.linked, row.value);
        ADD_FAILURE() << "no conversion error";
      } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message, row.expected);
      }
    } else {
      EXPECT_EQ(BuildAssignment(fields, u"C", row.kind, row.linked, row.value), row.expected);
    }
  }
}

TEST_F(QsoPlanTest, InsertListsEveryRenderedColumnInOrder) {
  const char16_t* const columns[][2] = {{u"OMCALL", u"'AB1CD'"},    {u"QSODATE", u"#2023-01-02 12:34#"},
                                        {u"QSOBAND", u"NULL"},      {u"QSOMODE", u"NULL"},
                                        {u"QSORSTRCVD", u"NULL"},   {u"QSORSTSEND", u"NULL"},
                                        {u"OMNAME", u"'O''Neil'"},  {u"OMQTH", u"NULL"},
                                        {u"CONTINENT", u"NULL"},    {u"DXCCPFX", u"NULL"},
                                        {u"MAINPFX", u"NULL"},      {u"QSOFREQ", u"14.074"},
                                        {u"ITUZONE", u"NULL"},      {u"CQZONE", u"NULL"},
                                        {u"GRIDSQUARE", u"NULL"},   {u"QSLMANAGER", u"NULL"},
                                        {u"IOTA", u"NULL"},         {u"STATE", u"NULL"},
                                        {u"EQSLSENT", u"FALSE"},    {u"EQSLRCVD", u"FALSE"},
                                        {u"LOTWSENT", u"FALSE"},    {u"LOTWRCVD", u"FALSE"},
                                        {u"QSLSENT", u"FALSE"},     {u"QSLRECV", u"TRUE"},
                                        {u"LOTWRCVDDATE", u"NULL"}, {u"QSLSENTDATE", u"#2023-02-01#"},
                                        {u"QSLRECVDATE", u"NULL"},  {u"CALLSIGN", u"'K1ABC'"},
                                        {u"WPX", u"NULL"},          {u"DXCC", u"NULL"},
                                        {u"QSLINFO", u"NULL"},      {u"QSOTIME", u"'12:34:56'"}};
  std::u16string names, values;
  for (const auto& column : columns) {
    names += (names.empty() ? u"" : u",") + std::u16string(column[0]);
    values += (values.empty() ? u"" : u",") + std::u16string(column[1]);
  }
  const QsoPlan plan = Plan(
      u"<CALL:5>AB1CD<QSO_DATE:8>20230102<TIME_ON:6>123456<OPERATOR:5>K1ABC<QSL_RCVD:1>Y"
      u"<NAME:6>O'Neil<FREQ:6>14.074<QSLSDATE:8>20230201<QSL_STATUS:1>X"
      u"<STATION_CALLSIGN:4>W1XX<EOR>");
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_EQ(plan.insert, u"INSERT INTO LOGS (LOGNAME," + names + u")\r\n\tVALUES('My log'," + values + u")");
}

// The existence test sees what the INSERT writes, so a re-import finds it.
TEST_F(QsoPlanTest, KeyConditionUsesCorrectedValuesAndMatchesNull) {
  const QsoPlan plan =
      Plan(u"<CALL:5>ab1cd<QSO_DATE:8>20230102<TIME_ON:4>1234<FREQ:6>14.074<OPERATOR:5>k1abc<EOR>",
           CorrectionMode::FillFields);
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_NE(plan.insert.find(u"12:34#,'20M',NULL,"), std::u16string::npos);  // values keep NULL as given
  EXPECT_EQ(plan.keyCondition,
            u"\r\n\t(OMCALL='AB1CD') AND\r\n\t(QSODATE=#2023-01-02 12:34#) AND"
            u"\r\n\t(QSOBAND='20M' OR QSOBAND IS NULL) AND\r\n\t(QSOMODE IS NULL) AND"
            u"\r\n\t(CALLSIGN='K1ABC' OR CALLSIGN IS NULL)");
  // The corrected values themselves.
  const auto value = [&plan](std::u16string_view adifName) {
    for (const TLogField& field : plan.values) {
      if (field.ADIFName == adifName) return field.Value;
    }
    return std::u16string(u"(none)");
  };
  EXPECT_EQ(value(u"CALL"), u"AB1CD");
  EXPECT_EQ(value(u"BAND"), u"20M");
  EXPECT_EQ(value(u"OPERATOR"), u"K1ABC");
}

// FillFields fills the band and the operator where the other modes store NULL
// or the value as read: each record matches all of them, in every mode.
TEST_F(QsoPlanTest, KeyConditionMatchesTheQsoWhateverModeStoredIt) {
  struct Row {
    CorrectionMode mode;
    std::u16string_view fields;
    std::u16string_view band;
    std::u16string_view callsign;
  };
  const Row rows[] = {
      {CorrectionMode::Format, u"<FREQ:6>14.074<STATION_CALLSIGN:5>k1abc",
       u"QSOBAND='20M' OR QSOBAND IS NULL", u"CALLSIGN='K1ABC' OR CALLSIGN IS NULL"},
      {CorrectionMode::None, u"<BAND:3>20m<OPERATOR:6>K1ABC ", u"QSOBAND='20m' OR QSOBAND IS NULL",
       u"CALLSIGN='K1ABC' OR CALLSIGN='K1ABC ' OR CALLSIGN IS NULL"},
      {CorrectionMode::FillFields, u"<FREQ:6>14.074<STATION_CALLSIGN:5>k1abc",
       u"QSOBAND='20M' OR QSOBAND IS NULL", u"CALLSIGN='K1ABC' OR CALLSIGN IS NULL"},
      {CorrectionMode::Format, u"<FREQ:4>0.01<OPERATOR:5>K1ABC", u"QSOBAND IS NULL",
       u"CALLSIGN='K1ABC' OR CALLSIGN IS NULL"},
  };
  for (const Row& row : rows) {
    const std::u16string record =
        u"<CALL:5>AB1CD<QSO_DATE:8>20230102" + std::u16string(row.fields) + u"<EOR>";
    const QsoPlan plan = Plan(record, row.mode);
    ASSERT_EQ(plan.verdict, PlanVerdict::Accepted) << Utf16ToUtf8(record);
    EXPECT_NE(plan.keyCondition.find(u"(" + std::u16string(row.band) + u")"), std::u16string::npos)
        << Utf16ToUtf8(plan.keyCondition);
    EXPECT_NE(plan.keyCondition.find(u"(" + std::u16string(row.callsign) + u")"), std::u16string::npos)
        << Utf16ToUtf8(plan.keyCondition);
  }
}

TEST_F(QsoPlanTest, UpdateSetsOnlyTheColumnsTheRecordCarries) {
  QsoPlan plan = Plan(kKeys + Field(u"NAME", u"Joe") + Field(u"QSL_STATUS", u"X") + u"<EOR>");
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_EQ(KeyUpdate(plan),
            u"UPDATE LOGS SET\r\nOMNAME='Joe',\r\n\tQSOTIME='12:34'\r\nWHERE LOGNAME='My log' AND " +
                kKeyCondition + u";");
  plan = Plan(Field(u"CALL", u"AB1CD") + Field(u"QSO_DATE", u"20230102") + Field(u"OPERATOR", u"K1ABC"));
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_EQ(KeyUpdate(plan).substr(0, 41), u"UPDATE LOGS SET\r\nLOGNAME='My log'\r\nWHERE ");
}

TEST_F(QsoPlanTest, ModeFillsBandAndFrequencyFromTheRawValues) {
  QsoPlan plan =
      Plan(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<BAND:3>20m<OPERATOR:5>K1ABC<EOR>", CorrectionMode::FillFields);
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_NE(plan.insert.find(u"QSOFREQ"), std::u16string::npos);
  EXPECT_NE(plan.insert.find(u",14.00000,"), std::u16string::npos);
  // The dialog selects None also for anything outside its list of modes.
  plan = Plan(u"<CALL:5>ab1cd<QSO_DATE:8>20230102<BAND:3>20m<OPERATOR:5>K1ABC<EOR>", CorrectionMode::None);
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_NE(plan.insert.find(u"('My log','ab1cd',"), std::u16string::npos);  // nothing corrected
  EXPECT_NE(plan.insert.find(u"#,'20m',"), std::u16string::npos);
}

TEST_F(QsoPlanTest, ModeFillsReferenceDataFromTheCallsign) {
  TCountryField country;
  country.PrefixList = u"AB[0-9].*";
  country.Continent = u"EU";
  country.ARRLPrefix = u"AB";
  country.DXCC = u"123";
  country.ITUZone = u"28";
  country.CQZone = u"14";
  dictionaries = Dictionaries({}, {}, {country});
  const std::u16string rest = u"<QSO_DATE:8>20230102<OPERATOR:5>K1ABC<CONT:2>na<CQZ:1>5<ITUZ:1>8<EOR>";
  QsoPlan plan = Plan(u"<CALL:5>ab1cd" + rest, CorrectionMode::FillFields);
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_NE(plan.insert.find(u",'EU','AB','AB',NULL,'28','14',"),
            std::u16string::npos);  // CONT DXCC_PREF PFX FREQ ITUZ CQZ
  EXPECT_NE(plan.insert.find(u",'123',NULL,NULL)"), std::u16string::npos);  // DXCC QSLINFO QSOTIME
  plan = Plan(u"<CALL:5>XY1CD" + rest, CorrectionMode::FillFields);
  ASSERT_EQ(plan.verdict, PlanVerdict::Accepted);
  EXPECT_NE(plan.insert.find(u",'NA',NULL,NULL,NULL,'8','5',"), std::u16string::npos);  // kept, upper-cased
}

// The records of DateAndOperatorRows, planned; the run test copies the
// ignored ones to the error file.
TEST_F(QsoPlanTest, DateAndOperatorTestsIgnoreForeignRecords) {
  for (const DateOperatorRow& row : kDateOperatorRows) {
    const std::u16string record = DateOperatorRecord(row);
    const QsoPlan plan = Plan(record);
    EXPECT_EQ(plan.verdict, row.expected) << Utf16ToUtf8(record);
    if (row.expected == PlanVerdict::Ignored) {
      EXPECT_TRUE(plan.insert.empty());
    }
  }
  EXPECT_EQ(Plan(u" \t\r\n").verdict, PlanVerdict::Blank);
}

TEST_F(QsoPlanTest, ValuesThatDoNotConvertFailTheRecordOnly) {
  for (const ConversionRow& row : kConversionRows) {
    const QsoPlan plan = Plan(row.record);
    EXPECT_EQ(plan.verdict, PlanVerdict::Rejected) << Utf16ToUtf8(row.record);
    EXPECT_EQ(plan.reason, row.message);
    EXPECT_TRUE(plan.insert.empty());
    EXPECT_TRUE(plan.update.empty());
    EXPECT_TRUE(plan.keyCondition.empty());
  }
}

TEST_F(QsoPlanTest, FailingFillFieldsFrequencyNamesTheFrequency) {
  const QsoPlan plan =
      Plan(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<FREQ:3>abc<OPERATOR:5>K1ABC<EOR>", CorrectionMode::FillFields);
  EXPECT_EQ(plan.verdict, PlanVerdict::Rejected);
  EXPECT_EQ(plan.reason.substr(0, 10), u"FREQ abc: ");
}

// After the last record, markers and trailers that hold no field of the
// log are no QSO; a record cut short before its "<EOR>" still is one.
TEST_F(QsoPlanTest, TextAfterTheLastRecordWithoutLogFieldsIsBlank) {
  const std::pair<std::u16string_view, PlanVerdict> rows[] = {
      {u"<APP_LoTW_EOF>", PlanVerdict::Blank},
      {u"<EOF>\r\n", PlanVerdict::Blank},
      {u"<APP_X_TRAILER:3>end", PlanVerdict::Blank},
      {u"<CALL:5>AB1CD<QSO_DATE:8>20230102<OPERATOR:5>K1ABC", PlanVerdict::Accepted},
      {u"<time_on:4>1234", PlanVerdict::Rejected},  // a linked field the log reads
      {u"<EOF><EOR>", PlanVerdict::Rejected},
  };
  for (const auto& [record, verdict] : rows) EXPECT_EQ(Plan(record).verdict, verdict) << Utf16ToUtf8(record);
}

// The date is tested before the operator; the operator is read either way.
TEST_F(QsoPlanTest, IgnoredRecordsTellTheirCause) {
  QsoPlan plan = Plan(u"<QSO_DATE:8>20240101<OPERATOR:5>W1XYZ<EOR>");
  ASSERT_EQ(plan.verdict, PlanVerdict::Ignored);
  EXPECT_EQ(plan.cause, IgnoredCause::OutOfDate);
  EXPECT_EQ(plan.recordOperator, u"W1XYZ");
  plan = Plan(u"<QSO_DATE:8>20230101<OPERATOR:6>w1xyz <EOR>");
  ASSERT_EQ(plan.verdict, PlanVerdict::Ignored);
  EXPECT_EQ(plan.cause, IgnoredCause::Operator);
  EXPECT_EQ(plan.recordOperator, u"W1XYZ");
}

// A planner reused from record to record plans each as a fresh one does.
TEST_F(QsoPlanTest, AReusedPlannerPlansEachRecordAfresh) {
  const std::u16string records[] = {
      kKeys + Field(u"QSL_RCVD", u"Y") + u"<EOR>",
      u"<QSO_DATE:7>2023131<OPERATOR:5>K1ABC<EOR>",
      Field(u"CALL", u"AB1CD") + Field(u"QSO_DATE", u"20230102") + Field(u"OPERATOR", u"K1ABC") + u"<EOR>",
      u"<QSO_DATE:8>20230101<OPERATOR:6>w1xyz <EOR>",
      kKeys + u"<EOR>",
  };
  QsoPlanner planner(fields);
  QsoPlan reused;
  for (const std::u16string& record : records) {
    planner.Plan(record, {log, CorrectionMode::Format, 5}, dictionaries, reused);
    const QsoPlan fresh = PlanRecord(record, fields, {log, CorrectionMode::Format, 5}, dictionaries);
    EXPECT_EQ(reused.verdict, fresh.verdict) << Utf16ToUtf8(record);
    EXPECT_EQ(reused.reason, fresh.reason);
    EXPECT_EQ(reused.insert, fresh.insert);
    EXPECT_EQ(reused.update, fresh.update);
    EXPECT_EQ(reused.windowCondition, fresh.windowCondition);
    EXPECT_EQ(reused.holdsConfirmation, fresh.holdsConfirmation);
  }
}

}  // namespace
}  // namespace quillet::testing
