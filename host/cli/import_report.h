// What an import tells its user at the end: the counts read back from the
// module's transcript, why records were ignored (from the host's own scan of
// the file) and, with --json, one JSON object with all of it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/cli/adif_scan.h"

namespace quillet::host {

struct TranscriptSummary {
  long found = 0, inserted = 0, updated = 0, ignored = 0, errors = 0;
  // Of the updates: with a confirmation, and matched within a window (all windows).
  long withConfirmation = 0, matchedWithin = 0;
  std::optional<std::string> errorFile;    // the file name the transcript names
  std::vector<std::string> recordReasons;  // the "Record N: ..." lines, and "and N more"
};

// A count line that is absent counts 0.
TranscriptSummary ReadTranscript(std::string_view transcript);

// Records the module ignores, by cause: another operator's (by callsign,
// "" for records naming none) or dated more than a day past the closing
// date. A record may have both causes; it counts under its operator.
struct IgnoredCauses {
  std::map<std::string, long> otherOperators;
  long afterClosing = 0;
};
IgnoredCauses FindIgnoredCauses(const AdifScan& scan, std::string_view logOperator, std::string_view closing);

struct ImportReport {
  std::string file, log;
  int mode = 0;
  int window = 0;
  bool completed = false;
  TranscriptSummary counts;
  std::optional<std::string> errorFilePath;
  std::int64_t elapsedMs = 0;
  IgnoredCauses ignored;
};
std::string ReportJson(const ImportReport& report);

// text as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace quillet::host
