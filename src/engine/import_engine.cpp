#include "engine/import_engine.h"

#include "adif/adif_reader.h"
#include "engine/error_file.h"
#include "engine/import_run.h"
#include "engine/source_lines.h"
#include "hostcalls/host_calls.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

std::u16string TwoDigits(std::uint32_t value) {
  return {static_cast<char16_t>(u'0' + value / 10 % 10), static_cast<char16_t>(u'0' + value % 10)};
}

// hh:nn:ss of a number of milliseconds, modulo 24 hours.
std::u16string ElapsedText(std::uint32_t milliseconds) {
  const std::uint32_t seconds = milliseconds / 1000 % 86400;
  return TwoDigits(seconds / 3600) + u':' + TwoDigits(seconds / 60 % 60) + u':' + TwoDigits(seconds % 60);
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

ImportEngine::ImportEngine(ImportPort& port, IHostKernel* kernel, IHostServer* server)
    : port_(port), kernel_(kernel), server_(server) {}

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
  const ImportSettings settings = port_.RunSettings();
  SourceEncoding encoding = SourceEncoding::Ansi;
  AdifLayout layout;
  if (!DetectSourceEncoding(fileName, encoding) || !ScanLayout(*this, fileName, encoding, layout)) {
    host_calls::ShowError(kernel_, u"Resource open error: " + settings.source, u"Error");
    SetProgress(0);
    host_calls::AddLogLine(kernel_, u"Exec: " + settings.caption + u", " + settings.source + u" failed.");
    return false;
  }
  ErrorFile errorFile(std::u16string(errorFileHeader), fileName, encoding);
  errorFile.DeleteOlderFile();
  AddProgressText(0, u"* Import: " + ExtractFileName(fileName) + u" from " + ExtractFileDir(fileName), true);
  SourceLineReader lines(fileName, encoding);
  lines.SetPieceObserver([this] { LetMessagesThroughOrStop(); });
  const PlanSettings planSettings{log, settings.mode, settings.matchWindow, LengthsOf(encoding)};
  ImportRun run(*this, port_, kernel_, server_, errorFile, planSettings, dictionaries);
  run.ImportSource(lines, layout);
  if (!lines.IsOpen() || lines.Failed()) throw EInOutError(u"Resource read error: " + settings.source);
  report_ = run.Report();
  const std::u16string elapsed = ElapsedText(TickCount() - start);
  AddProgressText(0, u"* Done. Elapsed time " + elapsed, false);
  SetProgress(0);
  host_calls::AddLogLine(
      kernel_, u"Exec: " + settings.caption + u", " + settings.source + u" processed (" + elapsed + u")");
  host_calls::SendCommand(kernel_, u"REFRESH", u"0");
  // Last, so that a host without reports sees every other call as before.
  HandReportToHost(report_, kernel_);
  return true;
}

void ImportEngine::SetProgress(long double fraction) {
  port_.ShowProgress(fraction);
  port_.ProcessMessages();
}

void ImportEngine::StopWhenTerminated() {
  if (port_.Terminated()) throw EAbort(u"Import stopped");
}

void ImportEngine::LetMessagesThroughOrStop() {
  port_.ProcessMessages();
  StopWhenTerminated();
}

void ImportEngine::AddProgressText(int level, std::u16string_view text, bool lineBreak) {
  std::u16string line(static_cast<std::size_t>(3 * (level > 0 ? level : 0)), u' ');
  line += text;
  if (lineBreak) line += u"\r\n";
  port_.AppendToTranscript(line);
  port_.ProcessMessages();
}

}  // namespace quillet
