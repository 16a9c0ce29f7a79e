// What an import tells its user at the end, from the report the module
// hands the host at the end of its run: the counts, why records were ignored
// or rejected and, with --json, one JSON object with all of it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/services/import_report_sink.h"

namespace quillet::host {

struct RunCounts {
  long found = 0, inserted = 0, updated = 0, ignored = 0, errors = 0;
  // Of the updates: with a confirmation, and matched within a window (all windows).
  long withConfirmation = 0, matchedWithin = 0;
  // The "Record N: ..." lines of the transcript, and "and N more".
  std::vector<std::string> recordReasons;
};

// Records the module ignored, by cause: another operator's (by callsign,
// "" for records naming none) or dated more than a day past the closing
// date. A record may have both causes; it counts under its operator.
struct IgnoredCauses {
  std::map<std::string, long> otherOperators;
  long afterClosing = 0;
};

struct ImportReport {
  std::string file, log;
  int mode = 0;
  int window = 0;
  bool completed = false;
  RunCounts counts;
  std::optional<std::string> errorFilePath;
  std::int64_t elapsedMs = 0;
  IgnoredCauses ignored;
};
std::string ReportJson(const ImportReport& report);

// The counts, reasons, causes and error file of report from what the module
// reported of its run into the log of logOperator. The error file is named
// only when the run wrote one (it ignored or rejected records).
void TakeModuleReport(ImportReport& report, const ModuleReport& module, std::string_view logOperator);

// text as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace quillet::host
