// The report of an import run, for a host that asks for it: an interface of
// the reference host only, not part of the host contract. A host offers it
// through QueryInterface on its kernel object; one that does not answers
// E_NOINTERFACE, and the module then calls nothing more than it always
// does. The ownership rules of quillet/plugin_api.h apply: strings are
// in-parameters the callee only reads.
//
// At the end of a run that read its source to the end, the module calls,
// in this order: ReportCounts once; ReportIgnored once for each operator
// and cause of ignored records; ReportFailure for each rejected record the
// transcript names (the first ten, in order); ReportEnd once.
#pragma once

#include <quillet/plugin_api.h>

namespace quillet {

inline constexpr IID IID_IImportReport = {
    0xC103E540, 0xCB0B, 0x44E9, {0xB4, 0x34, 0x02, 0x2B, 0xDF, 0x9C, 0x4D, 0x43}};

struct IImportReport : IUnknown {
  // The records read, inserted, updated (of them: with a confirmation, and
  // matched within a window), ignored, and the errors (rejected records and
  // statements the host did not carry out).
  QUILLET_METHOD ReportCounts(std::int32_t found, std::int32_t inserted, std::int32_t updated,
                              std::int32_t withConfirmation, std::int32_t matchedWithinWindow,
                              std::int32_t ignored, std::int32_t errors) = 0;  // 3
  // records ignored records of recordOperator ("" for none): dated after
  // the closing date when outOfDate is true, else not the log's operator.
  QUILLET_METHOD ReportIgnored(BSTR recordOperator, Flag outOfDate, std::int32_t records) = 0;  // 4
  // The record's number in the source, from 1, and why it was rejected.
  QUILLET_METHOD ReportFailure(std::int32_t record, BSTR reason) = 0;  // 5
  // How many records were rejected with a reason, and the path of the
  // run's error file (written only when records were ignored or rejected).
  QUILLET_METHOD ReportEnd(std::int32_t failures, BSTR errorFilePath) = 0;  // 6
};

}  // namespace quillet
