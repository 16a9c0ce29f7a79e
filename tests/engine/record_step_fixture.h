// The record step over a fake host that records the existence conditions
// it is asked and answers them as a test says.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_file.h"
#include "engine/fake_dialog.h"
#include "engine/record_step.h"
#include "refdata/dictionaries.h"
#include "runtime/date_time.h"
#include "runtime/text.h"
#include "support/fake_host.h"

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

class RecordStepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fields = BuildLogStruct(LogTable);
    host.OnRecordCountWhere([this](std::u16string_view, std::u16string_view condition) {
      conditions.emplace_back(condition);
      return answer ? answer(condition) : storedCount;
    });
  }
  RecordOutcome Import(std::u16string_view record) {
    return step.ImportRecord(record, fields, log, counters, statement);
  }

  FakeDialog dialog;
  FakeHost host;
  TempFolder folder;
  ErrorFile errorFile{dialog, host.Kernel(), u"<EOH>", folder.File("source.adi"), SourceEncoding::Ansi};
  Dictionaries dictionaries;
  RecordStep step{dialog, host.Server(), errorFile, dictionaries};
  TLogStruct fields;
  TargetLog log{u"My log", EncodeDate(2023, 1, 10), u"K1ABC"};
  ImportCounters counters;
  std::u16string statement;
  std::vector<std::u16string> conditions;
  // The count of every existence query: answer's, else storedCount.
  std::int32_t storedCount = 0;
  std::function<std::int32_t(std::u16string_view condition)> answer;
};

}  // namespace quillet::testing
