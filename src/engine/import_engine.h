// The import engine: the error file, the record step and the run over a
// whole ADIF file. It reaches the window only through ImportDialogPort and
// the host only through IHostKernel and IHostServer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/import_dialog_port.h"
#include "engine/target_log.h"

namespace quillet {

class Dictionaries;
struct IHostKernel;
struct IHostServer;

class ImportEngine {
 public:
  // All three must outlive the engine.
  ImportEngine(ImportDialogPort& dialog, IHostKernel* kernel, IHostServer* server);

  // The header of a new error file, from "APPLICATION", "APPVERSION" and
  // the time now.
  std::u16string BuildErrorFileHeader();
  // Runs one import into log; false when the source cannot be read. The
  // run's error file opens with errorFileHeader; dictionaries serve the
  // FillFields mode. Raises whatever ends the run early.
  bool RunImport(std::u16string_view fileName, const TargetLog& log, const Dictionaries& dictionaries,
                 std::u16string_view errorFileHeader);
  // Sets the progress pane to fraction * 100, truncated, and lets events through.
  void SetProgress(long double fraction);
  // Appends 3 * level blanks and text to the memo (CR LF after it when
  // lineBreak), brings the last line into view and lets events through.
  void AddProgressText(int level, std::u16string_view text, bool lineBreak);
  // Raises EAbort when the application has been asked to quit: a run
  // checks before every record and, letting messages through first, after
  // every piece of the source it reads, so that it stops at once whether
  // it stores, ignores or reads. What the host has carried out stays.
  void StopWhenTerminated();
  void LetMessagesThroughOrStop();

 private:
  ImportDialogPort& dialog_;
  IHostKernel* kernel_;
  IHostServer* server_;
};

}  // namespace quillet
