// The import engine: the error file, the record step and the run over a
// whole ADIF file. It reaches the window only through ImportDialogPort and
// the host only through IHostKernel and IHostServer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/import_dialog_port.h"
#include "runtime/date_time.h"

namespace quillet {

struct IHostKernel;
struct IHostServer;

// Shared by the dialog and the run: the header written at the top of a new
// error file, and the current run's error file.
extern std::u16string ErrorFileHeader;
extern std::u16string ErrorFilePath;
extern std::u16string ErrorFileName;

class ImportEngine {
 public:
  // All three must outlive the engine.
  ImportEngine(ImportDialogPort& dialog, IHostKernel* kernel, IHostServer* server);

  // Sets ErrorFileHeader from "APPLICATION", "APPVERSION" and the time now.
  void BuildErrorFileHeader();
  // Runs one import; false when the source cannot be read. Raises whatever
  // ends the run early.
  bool RunImport(std::u16string_view fileName, std::u16string_view logName, TDateTime logCloseDate,
                 std::u16string_view logOperator);
  // Sets the progress pane to fraction * 100, truncated, and lets events through.
  void SetProgress(long double fraction);
  // Appends 3 * level blanks and text to the memo (CR LF after it when
  // lineBreak), brings the last line into view and lets events through.
  void AddProgressText(int level, std::u16string_view text, bool lineBreak);

 private:
  ImportDialogPort& dialog_;
  IHostKernel* kernel_;
  IHostServer* server_;
};

}  // namespace quillet
