#include "engine/import_run.h"

#include "adif/adif_reader.h"
#include "engine/error_file.h"
#include "engine/import_engine.h"
#include "engine/import_port.h"
#include "engine/sql_text.h"
#include "hostcalls/host_calls.h"
#include "logmodel/log_table.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using namespace std::string_view_literals;

// The version the header names; a length that does not convert names none.
std::u16string AdifVersion(const std::vector<std::u16string>& header, AdifLengths lengths) {
  std::u16string version;
  try {
    version = GetAdifField(u"ADIF_VER", 5, HeaderText(header), lengths);
  } catch (const EConvertError&) {
    version.clear();
  }
  return version.empty() ? u"Undefined" : version;
}

}  // namespace

ImportRun::ImportRun(ImportEngine& engine, ImportPort& port, IHostKernel* kernel, IHostServer* server,
                     ErrorFile& errorFile, const PlanSettings& settings, const Dictionaries& dictionaries)
    : engine_(engine),
      port_(port),
      kernel_(kernel),
      server_(server),
      errorFile_(errorFile),
      settings_(settings),
      dictionaries_(dictionaries),
      fields_(BuildLogStruct(LogTable)),
      planner_(fields_),
      quotedLogName_(QuoteSqlString(settings.log.name)) {
  report_.errorFileName = errorFile.ErrorFileName();
  report_.errorFilePath = errorFile.ErrorFilePath();
}

void ImportRun::ImportSource(LineSource& lines, const AdifLayout& layout) {
  if (layout.AnyLines()) {
    AdifRecordReader reader(lines, layout.HasHeader());
    engine_.AddProgressText(0, u"* ADIF Version: " + AdifVersion(reader.Header(), settings_.lengths), true);
    const std::size_t expected = layout.RecordCount();
    if (expected > 0) engine_.AddProgressText(1, u"Parsing ADIF data... ", false);
    const std::size_t found = ImportRecords(reader, expected);
    report_.found = static_cast<std::int64_t>(found);
    if (found > 0) engine_.AddProgressText(0, u"found records: " + IntToText(report_.found), true);
    WriteSummary();
  }
  // Records processed over records found; a run without records is complete too.
  engine_.SetProgress(1);
}

// Returns the number of records read, which is expected unless the file
// changed since it was first read.
std::size_t ImportRun::ImportRecords(AdifRecordReader& reader, std::size_t expected) {
  std::u16string record;
  const auto count = static_cast<long double>(expected);
  std::size_t read = 0;
  while (reader.NextRecord(record)) {
    engine_.StopWhenTerminated();
    const std::size_t index = read++;
    planner_.Plan(record, settings_, dictionaries_, plan_);
    switch (plan_.verdict) {
      case PlanVerdict::Blank:
        continue;
      case PlanVerdict::Ignored:
        ++report_.ignored;
        if (plan_.cause == IgnoredCause::OutOfDate) {
          report_.outOfDate.Add(plan_.recordOperator);
        } else {
          report_.otherOperator.Add(plan_.recordOperator);
        }
        CopyToErrorFile(record);
        continue;
      case PlanVerdict::Rejected:
        Reject(record, static_cast<std::int64_t>(index + 1), plan_.reason);
        continue;
      case PlanVerdict::Accepted:
        break;
    }
    const Choice choice = ChooseStatement();
    if (choice == Choice::Rejected) {
      Reject(record, static_cast<std::int64_t>(index + 1), reason_);
      continue;
    }
    Store(record, choice);
    engine_.SetProgress(index < expected ? static_cast<long double>(index) / count : 1);
  }
  return read;
}

// Where the key admits several stored QSOs, only those equal to the
// record on every key column it carries are its own; QSOs that differ from
// it only by an empty band or operator are distinct QSOs, and which one
// the record means is not guessed. Neither is the nearest of several
// within the window. The exact minute is asked first and alone, so that a
// run without a window asks the host once per record.
ImportRun::Choice ImportRun::ChooseStatement() {
  matchedWindow_ = 0;
  const std::u16string* where = nullptr;
  const std::u16string* update = &plan_.update;
  const std::int32_t matched = CountStoredQsos(plan_.keyCondition);
  if (matched == 1) {
    where = &plan_.keyCondition;
  } else if (matched > 1) {
    if (CountStoredQsos(plan_.exactCondition) < 1) {
      reason_ = FormatText(u"matches %d stored QSOs", {matched});
      return Choice::Rejected;
    }
    where = &plan_.exactCondition;
  } else if (!plan_.windowCondition.empty()) {
    const std::int32_t nearby = CountStoredQsos(plan_.windowCondition);
    if (nearby > 1) {
      reason_ = FormatText(u"matches %d stored QSOs within %s", {nearby, MinutesText(settings_.matchWindow)});
      return Choice::Rejected;
    }
    if (nearby == 1) {
      where = &plan_.windowCondition;
      update = &plan_.windowUpdate;
      matchedWindow_ = settings_.matchWindow;
    }
  }
  if (where == nullptr) return Choice::Insert;
  statement_.assign(*update).append(*where).append(u";"sv);
  return Choice::Update;
}

// A record without key values asks nothing: it is a new QSO.
std::int32_t ImportRun::CountStoredQsos(std::u16string_view condition) {
  if (condition.empty()) return 0;
  countCondition_.assign(u"LOGNAME="sv).append(quotedLogName_).append(u" AND "sv).append(condition);
  return host_calls::GetRecordCountWhere(server_, u"LOGS"sv, countCondition_);
}

// Counted only once the host has answered: a statement it does not carry
// out is an error, and the record goes to the error file without a reason
// of its own.
void ImportRun::Store(std::u16string_view record, Choice choice) {
  const bool inserts = choice == Choice::Insert;
  if (host_calls::ExecuteSQL(server_, inserts ? plan_.insert : statement_) == 0) {
    ++report_.errors;
    CopyToErrorFile(record);
    return;
  }
  if (inserts) {
    ++report_.inserted;
    return;
  }
  ++report_.updated;
  if (plan_.holdsConfirmation) ++report_.withConfirmation;
  if (matchedWindow_ > 0) ++report_.matchedWithin[MatchWindowIndex(matchedWindow_)];
}

void ImportRun::Reject(std::u16string_view record, std::int64_t number, std::u16string_view reason) {
  ++report_.errors;
  report_.NoteFailure(number, reason);
  CopyToErrorFile(record);
}

// The first record of a run's error file warns the operator and the
// journal once; a file removed during the run is created, and warned of,
// again.
void ImportRun::CopyToErrorFile(std::u16string_view record) {
  if (errorFile_.CreateWhenMissing()) {
    port_.ShowErrorMessage(u"Warning: ADIF errors found");
    host_calls::AddLogLine(kernel_, u"Warning: ADIF errors found, saved in " + errorFile_.ErrorFileName());
  }
  errorFile_.AppendErrorRecord(record);
}

void ImportRun::WriteSummary() {
  for (const TranscriptLine& line : SummaryLines(report_))
    engine_.AddProgressText(line.level, line.text, true);
}

}  // namespace quillet
