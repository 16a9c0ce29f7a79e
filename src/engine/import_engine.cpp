#include "engine/import_engine.h"

#include <vector>

#include "adif/adif_reader.h"
#include "adif/value_conversion.h"
#include "engine/error_file.h"
#include "engine/host_calls.h"
#include "engine/record_step.h"
#include "engine/source_lines.h"
#include "logmodel/log_table.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// The records the transcript names one by one; the rest are counted.
constexpr std::size_t kNamedFailures = 10;

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
            const TargetLog& log)
      : engine_(engine),
        errorFile_(errorFile),
        server_(server),
        step_(dialog, server, errorFile),
        log_(log) {}

  void ImportLines(std::vector<std::u16string> lines);

 private:
  void ImportRecords(const std::vector<std::u16string>& records);
  void ExecuteStatement(std::u16string_view record, std::u16string_view statement);
  void NoteFailure(std::size_t recordNumber);
  void WriteSummary();

  ImportEngine& engine_;
  ErrorFile& errorFile_;
  IHostServer* server_;
  RecordStep step_;
  const TargetLog& log_;
  TLogStruct fields_ = BuildLogStruct(LogTable);
  ImportCounters counters_;
  std::vector<std::u16string> namedFailures_;
  std::size_t failures_ = 0;
};

// Takes the lines by value so that they are freed once parsed.
void ImportRun::ImportLines(std::vector<std::u16string> lines) {
  TAdifData data;
  const bool parsed = ParseAdifText(data, std::move(lines));
  if (parsed) {
    std::u16string version = GetAdifField(u"ADIF_VER", 5, HeaderText(data));
    if (version.empty()) version = u"Undefined";
    engine_.AddProgressText(0, u"* ADIF Version: " + version, true);
    const std::size_t count = data.Records.size();
    if (count > 0) engine_.AddProgressText(1, u"Parsing ADIF data... ", false);
    ImportRecords(data.Records);
    if (count > 0)
      engine_.AddProgressText(0, u"found records: " + IntToText(static_cast<std::int64_t>(count)), true);
    WriteSummary();
  }
  // Records processed over records found; a run without records is complete too.
  engine_.SetProgress(1);
}

void ImportRun::ImportRecords(const std::vector<std::u16string>& records) {
  std::u16string statement;
  const auto count = static_cast<long double>(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const RecordOutcome outcome = step_.ImportRecord(records[i], fields_, log_, counters_, statement);
    if (outcome == RecordOutcome::Failed) NoteFailure(i + 1);
    if (outcome != RecordOutcome::Statement) continue;
    ExecuteStatement(records[i], statement);
    engine_.SetProgress(static_cast<long double>(i) / count);
  }
}

// A statement the host does not carry out counts as an error instead.
void ImportRun::ExecuteStatement(std::u16string_view record, std::u16string_view statement) {
  if (host_calls::ExecuteSQL(server_, statement) != 0) return;
  ++counters_.errors;
  if (TextPos(u"INSERT", statement) == 1) --counters_.inserted;
  if (TextPos(u"UPDATE", statement) == 1) --counters_.updated;
  errorFile_.AppendErrorRecord(ErrorFilePath, record);
}

void ImportRun::NoteFailure(std::size_t recordNumber) {
  if (++failures_ > kNamedFailures) return;
  namedFailures_.push_back(
      FormatText(u"Record %d: %s", {static_cast<std::int64_t>(recordNumber), step_.ConversionMessage()}));
}

void ImportRun::WriteSummary() {
  if (counters_.inserted > 0)
    engine_.AddProgressText(2, u"Inserted to log: " + IntToText(counters_.inserted), true);
  if (counters_.updated > 0)
    engine_.AddProgressText(2, u"Updated in log: " + IntToText(counters_.updated), true);
  if (counters_.ignored > 0)
    engine_.AddProgressText(2, FormatText(u"Ignored: %d (wrong callsign/date)", {counters_.ignored}), true);
  if (counters_.errors > 0)
    engine_.AddProgressText(
        2, FormatText(u"Errors found: %d, copied to %s", {counters_.errors, ErrorFileName}), true);
  for (const std::u16string& line : namedFailures_) engine_.AddProgressText(2, line, true);
  if (failures_ > kNamedFailures)
    engine_.AddProgressText(
        2, u"and " + IntToText(static_cast<std::int64_t>(failures_ - kNamedFailures)) + u" more", true);
}

// Any older error file of the same source goes; the source itself never
// does, as the path rule never names it.
void StartErrorFile(std::u16string_view fileName) {
  ErrorFilePath = ErrorFilePathOf(fileName);
  if (FileExists(ErrorFilePath)) DeleteFile(ErrorFilePath);
  ErrorFileName = ExtractFileName(ErrorFilePath);
}

}  // namespace

ImportEngine::ImportEngine(ImportDialogPort& dialog, IHostKernel* kernel, IHostServer* server)
    : dialog_(dialog), kernel_(kernel), server_(server) {}

void ImportEngine::BuildErrorFileHeader() {
  const std::u16string application = host_calls::GetVariable(kernel_, u"APPLICATION");
  const std::u16string version = host_calls::GetVariable(kernel_, u"APPVERSION");
  ErrorFileHeader = ErrorFileHeaderText(application, version, Now(), LocaleShortFormats());
}

bool ImportEngine::RunImport(std::u16string_view fileName, std::u16string_view logName,
                             TDateTime logCloseDate, std::u16string_view logOperator) {
  const std::uint32_t start = TickCount();
  std::vector<std::u16string> lines;
  SourceEncoding encoding = SourceEncoding::Ansi;
  if (!LoadSourceLines(fileName, lines, &encoding)) {
    host_calls::ShowError(kernel_, u"Resource open error: " + dialog_.SourceText(), u"Error");
    SetProgress(0);
    host_calls::AddLogLine(kernel_,
                           u"Exec: " + dialog_.Caption() + u", " + dialog_.SourceText() + u" failed.");
    return false;
  }
  StartErrorFile(fileName);
  AddProgressText(0, u"* Import: " + ExtractFileName(fileName) + u" from " + ExtractFileDir(fileName), true);
  ErrorFile errorFile(dialog_, kernel_);
  errorFile.SetSourceEncoding(encoding);
  const TargetLog log{logName, logCloseDate, logOperator};
  ImportRun(*this, errorFile, server_, dialog_, log).ImportLines(std::move(lines));
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
