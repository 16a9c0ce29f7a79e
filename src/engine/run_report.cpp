#include "engine/run_report.h"

#include <algorithm>

#include "hostcalls/import_report_calls.h"
#include "runtime/com_ptr.h"
#include "runtime/text.h"

namespace quillet {
namespace {

void AddLine(std::vector<TranscriptLine>& lines, int level, std::u16string text) {
  lines.push_back({level, std::move(text)});
}

// The updates that are not plain re-imports: those that carried a
// confirmation, and those matched within each window used.
void AddUpdateKinds(const RunReport& report, std::vector<TranscriptLine>& lines) {
  if (report.withConfirmation > 0)
    AddLine(lines, 3, FormatText(u"with a confirmation: %d", {report.withConfirmation}));
  for (std::size_t i = 1; i < kMatchWindows.size(); ++i) {
    if (report.matchedWithin[i] == 0) continue;
    AddLine(lines, 3,
            FormatText(u"matched within %s: %d", {MinutesText(kMatchWindows[i]), report.matchedWithin[i]}));
  }
}

// One line per cause: the closing date, then the operators met most
// often (ties in order of appearance), the rest counted together, then the
// records without an operator.
void AddIgnoredCauses(const RunReport& report, std::vector<TranscriptLine>& lines) {
  const std::int32_t outOfDate = report.outOfDate.Total();
  if (outOfDate > 0) AddLine(lines, 3, FormatText(u"dated after the closing date: %d", {outOfDate}));
  std::vector<std::pair<std::u16string, std::int32_t>> named;
  std::int32_t withoutOperator = 0;
  for (const auto& entry : report.otherOperator.Counts()) {
    if (entry.first.empty()) {
      withoutOperator = entry.second;
    } else {
      named.push_back(entry);
    }
  }
  std::stable_sort(named.begin(), named.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  for (std::size_t i = 0; i < named.size() && i < kNamedOperators; ++i)
    AddLine(lines, 3, FormatText(u"by operator %s: %d", {named[i].first, named[i].second}));
  if (named.size() > kNamedOperators) {
    std::int32_t rest = 0;
    for (std::size_t i = kNamedOperators; i < named.size(); ++i) rest += named[i].second;
    const auto more = static_cast<std::int64_t>(named.size() - kNamedOperators);
    AddLine(lines, 3, FormatText(u"and %d more operators: %d", {more, rest}));
  }
  if (withoutOperator > 0) AddLine(lines, 3, FormatText(u"without operator: %d", {withoutOperator}));
}

}  // namespace

void OperatorTally::Add(const std::u16string& recordOperator) {
  const auto [entry, added] = index_.try_emplace(recordOperator, counts_.size());
  if (added) counts_.emplace_back(recordOperator, 0);
  ++counts_[entry->second].second;
}

std::int32_t OperatorTally::Total() const {
  std::int32_t total = 0;
  for (const auto& entry : counts_) total += entry.second;
  return total;
}

void RunReport::NoteFailure(std::int64_t record, std::u16string_view reason) {
  if (++failures > static_cast<std::int32_t>(kNamedFailures)) return;
  namedFailures.push_back({record, std::u16string(reason)});
}

std::u16string FailureLine(const NamedFailure& failure) {
  return FormatText(u"Record %d: %s", {failure.record, failure.reason});
}

std::vector<TranscriptLine> SummaryLines(const RunReport& report) {
  std::vector<TranscriptLine> lines;
  if (report.inserted > 0) AddLine(lines, 2, u"Inserted to log: " + IntToText(report.inserted));
  if (report.updated > 0) {
    AddLine(lines, 2, u"Updated in log: " + IntToText(report.updated));
    AddUpdateKinds(report, lines);
  }
  if (report.ignored > 0) {
    AddLine(lines, 2, FormatText(u"Ignored: %d (wrong callsign/date)", {report.ignored}));
    AddIgnoredCauses(report, lines);
  }
  if (report.errors > 0)
    AddLine(lines, 2, FormatText(u"Errors found: %d, copied to %s", {report.errors, report.errorFileName}));
  for (const NamedFailure& failure : report.namedFailures) AddLine(lines, 2, FailureLine(failure));
  if (report.failures > static_cast<std::int32_t>(kNamedFailures))
    AddLine(lines, 2,
            u"and " + IntToText(report.failures - static_cast<std::int32_t>(kNamedFailures)) + u" more");
  return lines;
}

void HandReportToHost(const RunReport& report, IHostKernel* kernel) {
  const ComPtr<IImportReport> sink = host_calls::QueryImportReport(kernel);
  if (!sink) return;
  std::int32_t matchedWithin = 0;
  for (const std::int32_t matched : report.matchedWithin) matchedWithin += matched;
  host_calls::ReportCounts(sink.get(), static_cast<std::int32_t>(report.found), report.inserted,
                           report.updated, report.withConfirmation, matchedWithin, report.ignored,
                           report.errors);
  for (const auto& [call, records] : report.outOfDate.Counts())
    host_calls::ReportIgnored(sink.get(), call, true, records);
  for (const auto& [call, records] : report.otherOperator.Counts())
    host_calls::ReportIgnored(sink.get(), call, false, records);
  for (const NamedFailure& failure : report.namedFailures)
    host_calls::ReportFailure(sink.get(), static_cast<std::int32_t>(failure.record), failure.reason);
  host_calls::ReportEnd(sink.get(), report.failures, report.errorFilePath);
}

}  // namespace quillet
