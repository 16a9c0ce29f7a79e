#include "host/cli/import_report.h"

#include <cstdio>

namespace quillet::host {
// The transcript names the first ten failures, then counts the rest.
constexpr long kNamedFailures = 10;

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          json += escaped;
        } else {
          json += c;
        }
    }
  }
  return json + "\"";
}

std::string ReportJson(const ImportReport& report) {
  const RunCounts& counts = report.counts;
  std::string json =
      "{\"file\":" + JsonString(report.file) + ",\"log\":" + JsonString(report.log) +
      ",\"mode\":" + std::to_string(report.mode) + ",\"window\":" + std::to_string(report.window) +
      ",\"completed\":" + (report.completed ? "true" : "false") +
      ",\"counts\":{\"found\":" + std::to_string(counts.found) +
      ",\"inserted\":" + std::to_string(counts.inserted) + ",\"updated\":" + std::to_string(counts.updated) +
      ",\"with_confirmation\":" + std::to_string(counts.withConfirmation) +
      ",\"matched_within_window\":" + std::to_string(counts.matchedWithin) +
      ",\"ignored\":" + std::to_string(counts.ignored) + ",\"errors\":" + std::to_string(counts.errors) +
      "},\"error_file\":" + (report.errorFilePath ? JsonString(*report.errorFilePath) : "null") +
      ",\"elapsed_ms\":" + std::to_string(report.elapsedMs) + ",\"record_reasons\":[";
  for (std::size_t i = 0; i < counts.recordReasons.size(); ++i) {
    json += (i ? "," : "") + JsonString(counts.recordReasons[i]);
  }
  json += "],\"ignored_causes\":{\"other_operator\":{";
  bool first = true;
  for (const auto& [call, records] : report.ignored.otherOperators) {
    json += (first ? "" : ",") + JsonString(call) + ":" + std::to_string(records);
    first = false;
  }
  json += "},\"after_closing_date\":" + std::to_string(report.ignored.afterClosing) + "}}";
  return json;
}

void TakeModuleReport(ImportReport& report, const ModuleReport& module, std::string_view logOperator) {
  RunCounts& counts = report.counts;
  counts.found = module.found;
  counts.inserted = module.inserted;
  counts.updated = module.updated;
  counts.withConfirmation = module.withConfirmation;
  counts.matchedWithin = module.matchedWithinWindow;
  counts.ignored = module.ignored;
  counts.errors = module.errors;
  for (const ModuleReport::Failure& failure : module.failures)
    counts.recordReasons.push_back("Record " + std::to_string(failure.record) + ": " + failure.reason);
  if (module.failureCount > kNamedFailures)
    counts.recordReasons.push_back("and " + std::to_string(module.failureCount - kNamedFailures) + " more");
  // The module tests the date first; the report names a record of another
  // operator under that operator whatever its date, the closing date being
  // the cause only for the log's own records.
  for (const ModuleReport::Ignored& ignored : module.ignoredRecords) {
    if (ignored.recordOperator != logOperator) {
      report.ignored.otherOperators[ignored.recordOperator] += ignored.records;
    } else if (ignored.outOfDate) {
      report.ignored.afterClosing += ignored.records;
    }
  }
  // The module names its error file whether or not it wrote one.
  if (counts.ignored + counts.errors > 0) report.errorFilePath = module.errorFilePath;
}

}  // namespace quillet::host
