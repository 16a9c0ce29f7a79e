#include "engine/record_step.h"

#include <gtest/gtest.h>

#include "engine/record_fields.h"
#include "engine/record_step_fixture.h"
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

TEST_F(RecordStepTest, InsertListsEveryRenderedColumnInOrder) {
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
  ASSERT_EQ(Import(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<TIME_ON:6>123456<OPERATOR:5>K1ABC<QSL_RCVD:1>Y"
                   u"<NAME:6>O'Neil<FREQ:6>14.074<QSLSDATE:8>20230201<QSL_STATUS:1>X"
                   u"<STATION_CALLSIGN:4>W1XX<EOR>"),
            RecordOutcome::Insert);
  EXPECT_EQ(statement, u"INSERT INTO LOGS (LOGNAME," + names + u")\r\n\tVALUES('My log'," + values + u")");
  EXPECT_EQ(counters.inserted, 1);
}

// The existence test sees what the INSERT writes, so a re-import finds it.
TEST_F(RecordStepTest, KeyConditionUsesCorrectedValuesAndMatchesNull) {
  dialog.mode = CorrectionMode::FillFields;
  ASSERT_EQ(Import(u"<CALL:5>ab1cd<QSO_DATE:8>20230102<TIME_ON:4>1234<FREQ:6>14.074<OPERATOR:5>k1abc<EOR>"),
            RecordOutcome::Insert);
  EXPECT_NE(statement.find(u"12:34#,'20M',NULL,"), std::u16string::npos);  // values keep NULL as given
  ASSERT_EQ(conditions.size(), 1u);
  EXPECT_EQ(conditions[0],
            u"LOGNAME='My log' AND \r\n\t(OMCALL='AB1CD') AND\r\n\t(QSODATE=#2023-01-02 12:34#) AND"
            u"\r\n\t(QSOBAND='20M' OR QSOBAND IS NULL) AND\r\n\t(QSOMODE IS NULL) AND"
            u"\r\n\t(CALLSIGN='K1ABC' OR CALLSIGN IS NULL)");
}

// FillFields fills the band and the operator where the other modes store NULL
// or the value as read: each record matches all of them, in every mode.
TEST_F(RecordStepTest, KeyConditionMatchesTheQsoWhateverModeStoredIt) {
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
    dialog.mode = row.mode;
    conditions.clear();
    const std::u16string record =
        u"<CALL:5>AB1CD<QSO_DATE:8>20230102" + std::u16string(row.fields) + u"<EOR>";
    ASSERT_EQ(Import(record), RecordOutcome::Insert) << Utf16ToUtf8(record);
    ASSERT_EQ(conditions.size(), 1u);
    EXPECT_NE(conditions[0].find(u"(" + std::u16string(row.band) + u")"), std::u16string::npos)
        << Utf16ToUtf8(conditions[0]);
    EXPECT_NE(conditions[0].find(u"(" + std::u16string(row.callsign) + u")"), std::u16string::npos)
        << Utf16ToUtf8(conditions[0]);
  }
}

TEST_F(RecordStepTest, UpdateSetsOnlyTheColumnsTheRecordCarries) {
  storedCount = 1;
  ASSERT_EQ(Import(kKeys + Field(u"NAME", u"Joe") + Field(u"QSL_STATUS", u"X") + u"<EOR>"),
            RecordOutcome::Update);
  EXPECT_EQ(statement,
            u"UPDATE LOGS SET\r\nOMNAME='Joe',\r\n\tQSOTIME='12:34'\r\nWHERE LOGNAME='My log' AND " +
                kKeyCondition + u";");
  ASSERT_EQ(Import(Field(u"CALL", u"AB1CD") + Field(u"QSO_DATE", u"20230102") + Field(u"OPERATOR", u"K1ABC")),
            RecordOutcome::Update);
  EXPECT_EQ(statement.substr(0, 41), u"UPDATE LOGS SET\r\nLOGNAME='My log'\r\nWHERE ");
  EXPECT_EQ(counters.updated, 2);
  EXPECT_EQ(counters.inserted, 0);
}

TEST_F(RecordStepTest, ModeFillsBandAndFrequencyFromTheRawValues) {
  dialog.mode = CorrectionMode::FillFields;
  ASSERT_EQ(Import(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<BAND:3>20m<OPERATOR:5>K1ABC<EOR>"),
            RecordOutcome::Insert);
  EXPECT_NE(statement.find(u"QSOFREQ"), std::u16string::npos);
  EXPECT_NE(statement.find(u",14.00000,"), std::u16string::npos);
  // The dialog selects None also for anything outside its list of modes.
  dialog.mode = CorrectionMode::None;
  ASSERT_EQ(Import(u"<CALL:5>ab1cd<QSO_DATE:8>20230102<BAND:3>20m<OPERATOR:5>K1ABC<EOR>"),
            RecordOutcome::Insert);
  EXPECT_NE(statement.find(u"('My log','ab1cd',"), std::u16string::npos);  // nothing corrected
  EXPECT_NE(statement.find(u"#,'20m',"), std::u16string::npos);
}

TEST_F(RecordStepTest, ModeFillsReferenceDataFromTheCallsign) {
  TCountryField country;
  country.PrefixList = u"AB[0-9].*";
  country.Continent = u"EU";
  country.ARRLPrefix = u"AB";
  country.DXCC = u"123";
  country.ITUZone = u"28";
  country.CQZone = u"14";
  dictionaries = Dictionaries({}, {}, {country});
  dialog.mode = CorrectionMode::FillFields;
  const std::u16string rest = u"<QSO_DATE:8>20230102<OPERATOR:5>K1ABC<CONT:2>na<CQZ:1>5<ITUZ:1>8<EOR>";
  ASSERT_EQ(Import(u"<CALL:5>ab1cd" + rest), RecordOutcome::Insert);
  EXPECT_NE(statement.find(u",'EU','AB','AB',NULL,'28','14',"),
            std::u16string::npos);                                        // CONT DXCC_PREF PFX FREQ ITUZ CQZ
  EXPECT_NE(statement.find(u",'123',NULL,NULL)"), std::u16string::npos);  // DXCC QSLINFO QSOTIME
  ASSERT_EQ(Import(u"<CALL:5>XY1CD" + rest), RecordOutcome::Insert);
  EXPECT_NE(statement.find(u",'NA',NULL,NULL,NULL,'8','5',"), std::u16string::npos);  // kept, upper-cased
}

TEST_F(RecordStepTest, DateAndOperatorTestsIgnoreForeignRecords) {
  struct Row {
    std::u16string_view date;
    std::u16string_view operatorFields;
    RecordOutcome expected;
  };
  const Row rows[] = {
      {u"20230111", u"<OPERATOR:5>k1abc", RecordOutcome::Insert},  // the day after closing, any case
      {u"19990101", u"<STATION_CALLSIGN:5>k1abc", RecordOutcome::Insert},
      {u"20230112", u"<OPERATOR:5>K1ABC", RecordOutcome::Ignored},
      {u"20230101", u"<OPERATOR:5>W1XYZ<STATION_CALLSIGN:5>K1ABC", RecordOutcome::Ignored},
      {u"20230101", u"", RecordOutcome::Ignored},
      {u"20230101", u"<OPERATOR:8>\t k1abc\r ", RecordOutcome::Insert},  // blanks and controls around
      {u"20230101", u"<OPERATOR:2>  <STATION_CALLSIGN:6>K1ABC ", RecordOutcome::Insert},
  };
  std::string expectedFile = "<EOH>\r\n";
  for (const Row& row : rows) {
    const std::u16string record = u"<CALL:5>AB1CD<QSO_DATE:8>" + std::u16string(row.date) +
                                  std::u16string(row.operatorFields) + u"<EOR>";
    EXPECT_EQ(Import(record), row.expected) << Utf16ToUtf8(record);
    if (row.expected == RecordOutcome::Ignored) expectedFile += Utf16ToUtf8(record) + "\r\n";
  }
  EXPECT_EQ(Import(u" \t\r\n"), RecordOutcome::Blank);
  EXPECT_EQ(counters.ignored, 3);
  EXPECT_EQ(counters.inserted, 4);
  EXPECT_EQ(ReadBytes(errorFile.ErrorFilePath()), expectedFile);
}

TEST_F(RecordStepTest, ValuesThatDoNotConvertFailTheRecordOnly) {
  struct Row {
    std::u16string_view record;
    std::u16string_view message;
  };
  const Row rows[] = {
      {u"<CALL:5>AB1CD<OPERATOR:5>K1ABC<EOR>", u"QSO_DATE: '''' is not a valid integer value"},
      {u"<QSO_DATE:7>2023131<OPERATOR:5>K1ABC<EOR>", u"QSO_DATE 2023131: Invalid argument to date encode"},
      {u"<QSO_DATE:8>20230102<QSLRDATE:8>2023x101<OPERATOR:5>K1ABC<EOR>",
       u"QSLRDATE 2023x101: ''x1'' is not a valid integer value"},
      {u"<QSO_DATE:8>20230102<FREQ:6>14,074<OPERATOR:5>K1ABC<EOR>",
       u"FREQ 14,074: '14,074' is not a valid floating point value"},
      {u"<QSO_DATE:8>20230102<TIME_ON:4>12;x<OPERATOR:5>K1ABC<EOR>",
       u"TIME_ON 12;x: ''12;x'' is not a valid time"},
      {u"<QSO_DATE:8>20230102<NAME:99999999999>x<OPERATOR:5>K1ABC<EOR>",
       u"NAME: ''099999999999'' is not a valid integer value"},
      // Times no clock shows: the host would refuse the date literal.
      {u"<QSO_DATE:8>20230102<TIME_ON:4>1260<OPERATOR:5>K1ABC<EOR>",
       u"TIME_ON 1260: ''1260'' is not a valid time"},
      {u"<QSO_DATE:8>20230102<TIME_ON:4>8135<OPERATOR:5>K1ABC<EOR>",
       u"TIME_ON 8135: ''8135'' is not a valid time"},
      {u"<QSO_DATE:8>20230102<TIME_ON:6>235960<OPERATOR:5>K1ABC<EOR>",
       u"TIME_ON 235960: ''235960'' is not a valid time"},
  };
  std::string expectedFile = "<EOH>\r\n";
  for (const Row& row : rows) {
    EXPECT_EQ(Import(row.record), RecordOutcome::Failed) << Utf16ToUtf8(row.record);
    EXPECT_EQ(step.FailureReason(), row.message);
    EXPECT_TRUE(statement.empty());
    expectedFile += Utf16ToUtf8(row.record) + "\r\n";
  }
  EXPECT_EQ(counters.errors, 9);
  EXPECT_EQ(counters.inserted + counters.updated + counters.ignored, 0);
  EXPECT_TRUE(conditions.empty());
  EXPECT_EQ(ReadBytes(errorFile.ErrorFilePath()), expectedFile);
}

}  // namespace
}  // namespace quillet::testing

namespace quillet::testing {
namespace {

TEST_F(RecordStepTest, FailingFillFieldsFrequencyNamesTheFrequency) {
  dialog.mode = CorrectionMode::FillFields;
  EXPECT_EQ(Import(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<FREQ:3>abc<OPERATOR:5>K1ABC<EOR>"),
            RecordOutcome::Failed);
  EXPECT_EQ(step.FailureReason().substr(0, 10), u"FREQ abc: ");
}

// After the last record, markers and trailers that hold no field of the
// log are no QSO; a record cut short before its "<EOR>" still is one.
TEST_F(RecordStepTest, TextAfterTheLastRecordWithoutLogFieldsIsBlank) {
  EXPECT_EQ(Import(u"<APP_LoTW_EOF>"), RecordOutcome::Blank);
  EXPECT_EQ(Import(u"<EOF>\r\n"), RecordOutcome::Blank);
  EXPECT_EQ(Import(u"<APP_X_TRAILER:3>end"), RecordOutcome::Blank);
  EXPECT_EQ(Import(u"<CALL:5>AB1CD<QSO_DATE:8>20230102<OPERATOR:5>K1ABC"), RecordOutcome::Insert);
  EXPECT_EQ(Import(u"<time_on:4>1234"), RecordOutcome::Failed);  // a linked field the log reads
  EXPECT_EQ(Import(u"<EOF><EOR>"), RecordOutcome::Failed);
  EXPECT_EQ(counters.errors, 2);
  EXPECT_EQ(counters.inserted, 1);
}

TEST_F(RecordStepTest, IgnoredRecordsTellTheirCause) {
  ASSERT_EQ(Import(u"<QSO_DATE:8>20240101<OPERATOR:5>W1XYZ<EOR>"), RecordOutcome::Ignored);
  EXPECT_TRUE(step.IgnoredAsOutOfDate());
  ASSERT_EQ(Import(u"<QSO_DATE:8>20230101<OPERATOR:6>w1xyz <EOR>"), RecordOutcome::Ignored);
  EXPECT_FALSE(step.IgnoredAsOutOfDate());
  EXPECT_EQ(step.RecordOperator(), u"W1XYZ");
}

}  // namespace
}  // namespace quillet::testing
