#include "host/cli/import_report.h"

#include <chrono>
#include <cstdio>

#include "host/base/text.h"

namespace quillet::host {
namespace {

// The number after label in line, or -1 when line does not hold label.
long CountAfter(std::string_view line, std::string_view label) {
  const std::size_t at = line.find(label);
  if (at == std::string_view::npos) return -1;
  long count = 0;
  for (std::size_t i = at + label.size(); i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
    count = count * 10 + (line[i] - '0');
  }
  return count;
}

// The day after a yyyy-mm-dd date as YYYYMMDD, comparable with QSO_DATE.
std::string DayAfter(std::string_view closing) {
  if (closing.size() != 10) return "99999999";
  using namespace std::chrono;
  const year_month_day date{year{std::stoi(std::string(closing.substr(0, 4)))},
                            month{static_cast<unsigned>(std::stoi(std::string(closing.substr(5, 2))))},
                            day{static_cast<unsigned>(std::stoi(std::string(closing.substr(8, 2))))}};
  const year_month_day next{sys_days{date} + days{1}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(next.year()),
                static_cast<unsigned>(next.month()), static_cast<unsigned>(next.day()));
  return text;
}

}  // namespace

TranscriptSummary ReadTranscript(std::string_view transcript) {
  TranscriptSummary summary;
  std::size_t start = 0;
  while (start < transcript.size()) {
    std::size_t end = transcript.find('\n', start);
    if (end == std::string_view::npos) end = transcript.size();
    const std::string_view line = transcript.substr(start, end - start);
    const std::string_view trimmed = TrimText(line);
    start = end + 1;
    if (long n = CountAfter(line, "found records: "); n >= 0) summary.found = n;
    if (trimmed.starts_with("Inserted to log: ")) summary.inserted = CountAfter(trimmed, ": ");
    if (trimmed.starts_with("Updated in log: ")) summary.updated = CountAfter(trimmed, ": ");
    if (trimmed.starts_with("with a confirmation: ")) summary.withConfirmation = CountAfter(trimmed, ": ");
    if (trimmed.starts_with("matched within ")) summary.matchedWithin += CountAfter(trimmed, ": ");
    if (trimmed.starts_with("Ignored: ")) summary.ignored = CountAfter(trimmed, ": ");
    if (trimmed.starts_with("Errors found: ")) {
      summary.errors = CountAfter(trimmed, ": ");
      const std::size_t to = trimmed.find(", copied to ");
      if (to != std::string_view::npos) summary.errorFile = std::string(trimmed.substr(to + 12));
    }
    if (trimmed.starts_with("Record ") || (trimmed.starts_with("and ") && trimmed.ends_with(" more"))) {
      summary.recordReasons.emplace_back(trimmed);
    }
  }
  return summary;
}

IgnoredCauses FindIgnoredCauses(const AdifScan& scan, std::string_view logOperator,
                                std::string_view closing) {
  IgnoredCauses causes;
  for (const OperatorCount& count : scan.operators) {
    if (count.call != logOperator) causes.otherOperators[count.call] = count.records;
  }
  if (!logOperator.empty() && scan.RecordsOf("") > 0) causes.otherOperators[""] = scan.RecordsOf("");
  const std::string dayAfter = DayAfter(closing);
  const auto dates = scan.datesByOperator.find(std::string(logOperator));
  if (dates == scan.datesByOperator.end()) return causes;
  for (const auto& [date, records] : dates->second) {
    if (date > dayAfter) causes.afterClosing += records;
  }
  return causes;
}

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
  const TranscriptSummary& counts = report.counts;
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

}  // namespace quillet::host
