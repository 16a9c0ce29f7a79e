// One run over the records of one source: the only place where a record
// has effects. For each record, in this order: its plan; for a QSO, the
// existence queries and the choice of INSERT or UPDATE, the statement, and
// the counts once the host has answered; for a record not taken, the error
// file; and the report the transcript's summary is printed from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/qso_plan.h"
#include "engine/run_report.h"

namespace quillet {

class AdifLayout;
class AdifRecordReader;
class Dictionaries;
class ErrorFile;
class ImportEngine;
class ImportPort;
class LineSource;
struct IHostKernel;
struct IHostServer;

class ImportRun {
 public:
  // All references must outlive the run; the settings are the run's for
  // all its records.
  ImportRun(ImportEngine& engine, ImportPort& port, IHostKernel* kernel, IHostServer* server,
            ErrorFile& errorFile, const PlanSettings& settings, const Dictionaries& dictionaries);

  // Imports the records of lines, whose layout (found by reading the source
  // once before) gives their number for the progress, and writes the
  // transcript's summary. Host failures and error-file write failures raise.
  void ImportSource(LineSource& lines, const AdifLayout& layout);

  const RunReport& Report() const { return report_; }

 private:
  // What the host's answers make of an accepted plan.
  enum class Choice { Insert, Update, Rejected };

  std::size_t ImportRecords(AdifRecordReader& reader, std::size_t expected);
  void ImportRecord(std::u16string_view record, std::int64_t number);
  // The stored QSOs the record is: none (an INSERT), those of a condition
  // of the plan (an UPDATE, the statement built), or several that cannot
  // be told apart (rejected, the reason set).
  Choice ChooseStatement();
  std::int32_t CountStoredQsos(std::u16string_view condition);
  void Store(std::u16string_view record, Choice choice);
  void Reject(std::u16string_view record, std::int64_t number, std::u16string_view reason);
  void CopyToErrorFile(std::u16string_view record);
  void WriteSummary();

  ImportEngine& engine_;
  ImportPort& port_;
  IHostKernel* kernel_;
  IHostServer* server_;
  ErrorFile& errorFile_;
  const PlanSettings& settings_;
  const Dictionaries& dictionaries_;
  TLogStruct fields_;
  QsoPlanner planner_;
  QsoPlan plan_;
  RunReport report_;
  // Per record, reused.
  std::u16string statement_;
  std::u16string countCondition_;
  std::u16string quotedLogName_;
  std::u16string reason_;
  int matchedWindow_ = 0;
};

}  // namespace quillet
