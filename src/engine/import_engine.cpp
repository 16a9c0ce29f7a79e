#include "engine/import_engine.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "adif/adif_reader.h"
#include "engine/error_file.h"
#include "engine/match_window.h"
#include "engine/record_step.h"
#include "engine/source_lines.h"
#include "hostcalls/host_calls.h"
#include "logmodel/log_table.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// The records the transcript names one by one; the rest are counted.
constexpr std::size_t kNamedFailures = 10;
// The operators of ignored records the transcript names; the rest are counted.
constexpr std::size_t kNamedOperators = 5;

// Why the records of a run were ignored: the count of those dated after
// the closing date, and of the others by their operator in order of first
// appearance ("" for records without one). A file may name a different
// operator on every record, so each is found through an index.
struct IgnoredCauses {
  std::int32_t outOfDate = 0;
  std::vector<std::pair<std::u16string, std::int32_t>> byOperator;
  std::unordered_map<std::u16string, std::size_t> operatorIndex;

  void AddOperator(const std::u16string& recordOperator) {
    const auto [entry, added] = operatorIndex.try_emplace(recordOperator, byOperator.size());
    if (added) byOperator.emplace_back(recordOperator, 0);
    ++byOperator[entry->second].second;
  }
};

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

std::u16string TwoDigits(std::uint32_t value) {
  return {static_cast<char16_t>(u'0' + value / 10 % 10), static_cast<char16_t>(u'0' + value % 10)};
}

// hh:nn:ss of a number of milliseconds, modulo 24 hours.
std::u16string ElapsedText(std::uint32_t milliseconds) {
  const std::uint32_t seconds = milliseconds / 1000 % 86400;
  return TwoDigits(seconds / 3600) + u':' + TwoDigits(seconds / 60 % 60) + u':' + TwoDigits(seconds % 60);
}

// One run over the records of one source file.
class ImportRun {
 public:
  ImportRun(ImportEngine& engine, ErrorFile& errorFile, IHostServer* server, ImportDialogPort& dialog,
            const Dictionaries& dictionaries, const TargetLog& log, AdifLengths lengths)
      : engine_(engine),
        errorFile_(errorFile),
        server_(server),
        step_(dialog, server, errorFile, dictionaries),
        log_(log),
        lengths_(lengths) {
    step_.SetSourceLengths(lengths);
  }

  void ImportSource(LineSource& lines, const AdifLayout& layout);

 private:
  std::size_t ImportRecords(AdifRecordReader& reader, std::size_t expected);
  void ExecuteStatement(std::u16string_view record, std::u16string_view statement, RecordOutcome built);
  void NoteFailure(std::size_t recordNumber);
  void NoteIgnored();
  void WriteSummary();
  void WriteIgnoredCauses();
  void WriteUpdateKinds();

  ImportEngine& engine_;
  ErrorFile& errorFile_;
  IHostServer* server_;
  RecordStep step_;
  const TargetLog& log_;
  AdifLengths lengths_;
  IgnoredCauses ignored_;
  TLogStruct fields_ = BuildLogStruct(LogTable);
  ImportCounters counters_;
  std::vector<std::u16string> namedFailures_;
  std::size_t failures_ = 0;
};

// The layout, found by reading the source once before, gives the number
// of records for the progress; the records are then read one at a time.
void ImportRun::ImportSource(LineSource& lines, const AdifLayout& layout) {
  if (layout.AnyLines()) {
    AdifRecordReader reader(lines, layout.HasHeader());
    engine_.AddProgressText(0, u"* ADIF Version: " + AdifVersion(reader.Header(), lengths_), true);
    const std::size_t expected = layout.RecordCount();
    if (expected > 0) engine_.AddProgressText(1, u"Parsing ADIF data... ", false);
    const std::size_t found = ImportRecords(reader, expected);
    if (found > 0)
      engine_.AddProgressText(0, u"found records: " + IntToText(static_cast<std::int64_t>(found)), true);
    WriteSummary();
  }
  // Records processed over records found; a run without records is complete too.
  engine_.SetProgress(1);
}

// Returns the number of records read, which is expected unless the file
// changed since it was first read.
std::size_t ImportRun::ImportRecords(AdifRecordReader& reader, std::size_t expected) {
  std::u16string record;
  std::u16string statement;
  const auto count = static_cast<long double>(expected);
  std::size_t read = 0;
  while (reader.NextRecord(record)) {
    engine_.StopWhenTerminated();
    const std::size_t index = read++;
    const RecordOutcome outcome = step_.ImportRecord(record, fields_, log_, counters_, statement);
    if (outcome == RecordOutcome::Failed) NoteFailure(index + 1);
    if (outcome == RecordOutcome::Ignored) NoteIgnored();
    if (outcome != RecordOutcome::Insert && outcome != RecordOutcome::Update) continue;
    ExecuteStatement(record, statement, outcome);
    engine_.SetProgress(index < expected ? static_cast<long double>(index) / count : 1);
  }
  return read;
}

// A statement the host does not carry out counts as an error instead of
// as what was built.
void ImportRun::ExecuteStatement(std::u16string_view record, std::u16string_view statement,
                                 RecordOutcome built) {
  if (host_calls::ExecuteSQL(server_, statement) != 0) return;
  ++counters_.errors;
  if (built == RecordOutcome::Insert) {
    --counters_.inserted;
  } else {
    --counters_.updated;
    if (step_.UpdateHoldsConfirmation()) --counters_.withConfirmation;
    if (step_.MatchedWindow() > 0) --counters_.matchedWithin[MatchWindowIndex(step_.MatchedWindow())];
  }
  errorFile_.AppendErrorRecord(record);
}

void ImportRun::NoteFailure(std::size_t recordNumber) {
  if (++failures_ > kNamedFailures) return;
  namedFailures_.push_back(
      FormatText(u"Record %d: %s", {static_cast<std::int64_t>(recordNumber), step_.FailureReason()}));
}

void ImportRun::NoteIgnored() {
  if (step_.IgnoredAsOutOfDate()) {
    ++ignored_.outOfDate;
  } else {
    ignored_.AddOperator(step_.RecordOperator());
  }
}

void ImportRun::WriteSummary() {
  if (counters_.inserted > 0)
    engine_.AddProgressText(2, u"Inserted to log: " + IntToText(counters_.inserted), true);
  if (counters_.updated > 0) {
    engine_.AddProgressText(2, u"Updated in log: " + IntToText(counters_.updated), true);
    WriteUpdateKinds();
  }
  if (counters_.ignored > 0) {
    engine_.AddProgressText(2, FormatText(u"Ignored: %d (wrong callsign/date)", {counters_.ignored}), true);
    WriteIgnoredCauses();
  }
  if (counters_.errors > 0)
    engine_.AddProgressText(
        2, FormatText(u"Errors found: %d, copied to %s", {counters_.errors, errorFile_.ErrorFileName()}),
        true);
  for (const std::u16string& line : namedFailures_) engine_.AddProgressText(2, line, true);
  if (failures_ > kNamedFailures)
    engine_.AddProgressText(
        2, u"and " + IntToText(static_cast<std::int64_t>(failures_ - kNamedFailures)) + u" more", true);
}

// The updates that are not plain re-imports: those that carried a
// confirmation, and those matched within each window used.
void ImportRun::WriteUpdateKinds() {
  if (counters_.withConfirmation > 0)
    engine_.AddProgressText(3, FormatText(u"with a confirmation: %d", {counters_.withConfirmation}), true);
  for (std::size_t i = 1; i < kMatchWindows.size(); ++i) {
    if (counters_.matchedWithin[i] == 0) continue;
    engine_.AddProgressText(
        3, FormatText(u"matched within %s: %d", {MinutesText(kMatchWindows[i]), counters_.matchedWithin[i]}),
        true);
  }
}

// One line per cause: the closing date, then the operators met most
// often (ties in order of appearance), the rest counted together, then the
// records without an operator.
void ImportRun::WriteIgnoredCauses() {
  if (ignored_.outOfDate > 0)
    engine_.AddProgressText(3, FormatText(u"dated after the closing date: %d", {ignored_.outOfDate}), true);
  std::vector<std::pair<std::u16string, std::int32_t>> named;
  std::int32_t withoutOperator = 0;
  for (const auto& entry : ignored_.byOperator) {
    if (entry.first.empty()) {
      withoutOperator = entry.second;
    } else {
      named.push_back(entry);
    }
  }
  std::stable_sort(named.begin(), named.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  for (std::size_t i = 0; i < named.size() && i < kNamedOperators; ++i)
    engine_.AddProgressText(3, FormatText(u"by operator %s: %d", {named[i].first, named[i].second}), true);
  if (named.size() > kNamedOperators) {
    std::int32_t rest = 0;
    for (std::size_t i = kNamedOperators; i < named.size(); ++i) rest += named[i].second;
    const auto more = static_cast<std::int64_t>(named.size() - kNamedOperators);
    engine_.AddProgressText(3, FormatText(u"and %d more operators: %d", {more, rest}), true);
  }
  if (withoutOperator > 0)
    engine_.AddProgressText(3, FormatText(u"without operator: %d", {withoutOperator}), true);
}

// The layout of the whole source; false when it cannot be read.
bool ScanLayout(ImportEngine& engine, std::u16string_view fileName, SourceEncoding encoding,
                AdifLayout& layout) {
  SourceLineReader lines(fileName, encoding);
  lines.SetPieceObserver([&engine] { engine.LetMessagesThroughOrStop(); });
  std::u16string line;
  while (lines.NextLine(line)) layout.Scan(line);
  return lines.IsOpen() && !lines.Failed();
}

}  // namespace

ImportEngine::ImportEngine(ImportDialogPort& dialog, IHostKernel* kernel, IHostServer* server)
    : dialog_(dialog), kernel_(kernel), server_(server) {}

std::u16string ImportEngine::BuildErrorFileHeader() {
  const std::u16string application = host_calls::GetVariable(kernel_, u"APPLICATION");
  const std::u16string version = host_calls::GetVariable(kernel_, u"APPVERSION");
  return ErrorFileHeaderText(application, version, Now(), LocaleShortFormats());
}

// The source is read three times: once for its encoding, once for its
// layout, and once for its records, so that only a few lines are ever held.
bool ImportEngine::RunImport(std::u16string_view fileName, const TargetLog& log,
                             const Dictionaries& dictionaries, std::u16string_view errorFileHeader) {
  const std::uint32_t start = TickCount();
  SourceEncoding encoding = SourceEncoding::Ansi;
  AdifLayout layout;
  if (!DetectSourceEncoding(fileName, encoding) || !ScanLayout(*this, fileName, encoding, layout)) {
    host_calls::ShowError(kernel_, u"Resource open error: " + dialog_.SourceText(), u"Error");
    SetProgress(0);
    host_calls::AddLogLine(kernel_,
                           u"Exec: " + dialog_.Caption() + u", " + dialog_.SourceText() + u" failed.");
    return false;
  }
  ErrorFile errorFile(dialog_, kernel_, std::u16string(errorFileHeader), fileName, encoding);
  errorFile.DeleteOlderFile();
  AddProgressText(0, u"* Import: " + ExtractFileName(fileName) + u" from " + ExtractFileDir(fileName), true);
  SourceLineReader lines(fileName, encoding);
  lines.SetPieceObserver([this] { LetMessagesThroughOrStop(); });
  ImportRun(*this, errorFile, server_, dialog_, dictionaries, log, LengthsOf(encoding))
      .ImportSource(lines, layout);
  if (!lines.IsOpen() || lines.Failed()) throw EInOutError(u"Resource read error: " + dialog_.SourceText());
  const std::u16string elapsed = ElapsedText(TickCount() - start);
  AddProgressText(0, u"* Done. Elapsed time " + elapsed, false);
  SetProgress(0);
  host_calls::AddLogLine(kernel_, u"Exec: " + dialog_.Caption() + u", " + dialog_.SourceText() +
                                      u" processed (" + elapsed + u")");
  host_calls::SendCommand(kernel_, u"REFRESH", u"0");
  return true;
}

void ImportEngine::SetProgress(long double fraction) {
  dialog_.SetProgressPercent(static_cast<int>(fraction * 100));
  dialog_.ProcessMessages();
}

void ImportEngine::StopWhenTerminated() {
  if (dialog_.Terminated()) throw EAbort(u"Import stopped");
}

void ImportEngine::LetMessagesThroughOrStop() {
  dialog_.ProcessMessages();
  StopWhenTerminated();
}

void ImportEngine::AddProgressText(int level, std::u16string_view text, bool lineBreak) {
  std::u16string memo = dialog_.MemoText();
  memo.append(static_cast<std::size_t>(3 * (level > 0 ? level : 0)), u' ');
  memo += text;
  if (lineBreak) memo += u"\r\n";
  dialog_.SetMemoText(memo);
  dialog_.ScrollMemo(dialog_.MemoLineCount() - 1);
  dialog_.ProcessMessages();
}

}  // namespace quillet
