// What a run did, counted by the run as the host answered: the counts, why
// records were ignored, why records were rejected, and the error file. The
// transcript's summary is printed from it, and a host that asks for it gets
// it whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/match_window.h"

namespace quillet {

struct IHostKernel;

// Records by operator in order of first appearance ("" for records
// without one). A file may name a different operator on every record, so
// each is found through an index.
class OperatorTally {
 public:
  void Add(const std::u16string& recordOperator);
  const std::vector<std::pair<std::u16string, std::int32_t>>& Counts() const { return counts_; }
  std::int32_t Total() const;

 private:
  std::vector<std::pair<std::u16string, std::int32_t>> counts_;
  std::unordered_map<std::u16string, std::size_t> index_;
};

struct NamedFailure {
  std::int64_t record = 0;  // its number in the source, from 1
  std::u16string reason;
};

struct RunReport {
  // The records read (blank ones and trailers included).
  std::int64_t found = 0;
  std::int32_t inserted = 0;
  std::int32_t updated = 0;
  std::int32_t ignored = 0;
  // Rejected records and statements the host did not carry out.
  std::int32_t errors = 0;
  // Of the updates: those whose record holds "Y" in a status flag, and
  // those that matched a stored QSO within a window, by the window's index
  // in kMatchWindows (index 0, the exact minute, stays 0).
  std::int32_t withConfirmation = 0;
  std::array<std::int32_t, kMatchWindows.size()> matchedWithin{};
  // The ignored records by cause: dated after the closing date, and the
  // others (not the log's operator), each by the record's operator.
  OperatorTally outOfDate;
  OperatorTally otherOperator;
  // The rejected records with their reasons: how many, and the first
  // kNamedFailures of them. A statement the host refused has no reason.
  std::int32_t failures = 0;
  std::vector<NamedFailure> namedFailures;
  // The error file, whether or not the run wrote it.
  std::u16string errorFileName;
  std::u16string errorFilePath;

  void NoteFailure(std::int64_t record, std::u16string_view reason);
};

// The records the transcript names one by one; the rest are counted.
inline constexpr std::size_t kNamedFailures = 10;
// The operators of ignored records the transcript names; the rest are counted.
inline constexpr std::size_t kNamedOperators = 5;

struct TranscriptLine {
  int level = 0;  // indented by three blanks a level
  std::u16string text;
};

// The summary of a run, after its "found records" line.
std::vector<TranscriptLine> SummaryLines(const RunReport& report);

// "Record 3: QSO_DATE 2023131: Invalid argument to date encode".
std::u16string FailureLine(const NamedFailure& failure);

// Hands report to a host that asks for reports (quillet/import_report.h);
// with any other host, asks once and does nothing more.
void HandReportToHost(const RunReport& report, IHostKernel* kernel);

}  // namespace quillet
