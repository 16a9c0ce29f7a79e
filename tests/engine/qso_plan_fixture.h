// The planner's tests plan records for the module's working list under
// settings of their own: no host, no dialog, no file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/fake_port.h"
#include "engine/qso_plan.h"
#include "refdata/dictionaries.h"
#include "runtime/date_time.h"
#include "runtime/text.h"

namespace quillet::testing {

inline std::u16string Field(std::u16string_view name, std::u16string_view value) {
  return u"<" + std::u16string(name) + u":" + IntToText(static_cast<std::int64_t>(value.size())) + u">" +
         std::u16string(value);
}

inline const std::u16string kKeys = Field(u"CALL", u"AB1CD") + Field(u"QSO_DATE", u"20230102") +
                                    Field(u"TIME_ON", u"1234") + Field(u"BAND", u"20M") +
                                    Field(u"MODE", u"SSB") + Field(u"OPERATOR", u"K1ABC");
inline const std::u16string kKeyCondition =
    u"\r\n\t(OMCALL='AB1CD') AND\r\n\t(QSODATE=#2023-01-02 12:34#) AND\r\n\t(QSOBAND='20M' OR QSOBAND IS "
    u"NULL) AND"
    u"\r\n\t(QSOMODE='SSB') AND\r\n\t(CALLSIGN='K1ABC' OR CALLSIGN IS NULL)";

// The statements a plan offers, completed as the run completes them.
inline std::u16string KeyUpdate(const QsoPlan& plan) { return plan.update + plan.keyCondition + u";"; }
inline std::u16string WindowUpdate(const QsoPlan& plan) {
  return plan.windowUpdate + plan.windowCondition + u";";
}

// Records tested on their date and operator, for a log of K1ABC closing
// 2023-01-10.
struct DateOperatorRow {
  std::u16string_view date;
  std::u16string_view operatorFields;
  PlanVerdict expected;
};
inline const DateOperatorRow kDateOperatorRows[] = {
    {u"20230111", u"<OPERATOR:5>k1abc", PlanVerdict::Accepted},  // the day after closing, any case
    {u"19990101", u"<STATION_CALLSIGN:5>k1abc", PlanVerdict::Accepted},
    {u"20230112", u"<OPERATOR:5>K1ABC", PlanVerdict::Ignored},
    {u"20230101", u"<OPERATOR:5>W1XYZ<STATION_CALLSIGN:5>K1ABC", PlanVerdict::Ignored},
    {u"20230101", u"", PlanVerdict::Ignored},
    {u"20230101", u"<OPERATOR:8>\t k1abc\r ", PlanVerdict::Accepted},  // blanks and controls around
    {u"20230101", u"<OPERATOR:2>  <STATION_CALLSIGN:6>K1ABC ", PlanVerdict::Accepted},
};
inline std::u16string DateOperatorRecord(const DateOperatorRow& row) {
  return u"<CALL:5>AB1CD<QSO_DATE:8>" + std::u16string(row.date) + std::u16string(row.operatorFields) +
         u"<EOR>";
}

// Records whose values do not convert, with the reason named.
struct ConversionRow {
  std::u16string_view record;
  std::u16string_view message;
};
inline const ConversionRow kConversionRows[] = {
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

class QsoPlanTest : public ::testing::Test {
 protected:
  void SetUp() override { fields = BuildLogStruct(LogTable); }
  QsoPlan Plan(std::u16string_view record, CorrectionMode mode = CorrectionMode::None, int window = 0) {
    return PlanRecord(record, fields, {log, mode, window}, dictionaries);
  }

  TLogStruct fields;
  TargetLog log{u"My log", EncodeDate(2023, 1, 10), u"K1ABC"};
  Dictionaries dictionaries;
};

}  // namespace quillet::testing
