// The import engine: a run over a whole ADIF file, from reading the source
// to the journal line at its end. It reaches the window only through
// ImportPort and the host only through IHostKernel and IHostServer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/import_port.h"
#include "engine/run_report.h"
#include "engine/target_log.h"

namespace quillet {

class Dictionaries;
struct IHostKernel;
struct IHostServer;

class ImportEngine {
 public:
  // All three must outlive the engine.
  ImportEngine(ImportPort& port, IHostKernel* kernel, IHostServer* server);

  // The header of a new error file, from "APPLICATION", "APPVERSION" and
  // the time now.
  std::u16string BuildErrorFileHeader();
  // Runs one import of the file fileName into log, under the port's
  // settings as they are when it starts; false when the source cannot be
  // read. The run's error file opens with errorFileHeader; dictionaries
  // serve the FillFields mode. Raises whatever ends the run early.
  bool RunImport(std::u16string_view fileName, const TargetLog& log, const Dictionaries& dictionaries,
                 std::u16string_view errorFileHeader);
  // Shows the progress, a fraction of the run, and lets events through.
  void SetProgress(long double fraction);
  // Appends 3 * level blanks and text to the transcript (CR LF after it
  // when lineBreak) and lets events through.
  void AddProgressText(int level, std::u16string_view text, bool lineBreak);
  // Raises EAbort when the application has been asked to quit: a run
  // checks before every record and, letting messages through first, after
  // every piece of the source it reads, so that it stops at once whether
  // it stores, ignores or reads. What the host has carried out stays.
  void StopWhenTerminated();
  void LetMessagesThroughOrStop();
  // The report of the last run that read its source to the end.
  const RunReport& LastReport() const { return report_; }

 private:
  ImportPort& port_;
  IHostKernel* kernel_;
  IHostServer* server_;
  RunReport report_;
};

}  // namespace quillet
