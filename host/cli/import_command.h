// quillet import FILE: imports an ADIF file into a log through the module's
// menu command, as an operator would, and reports whether it completed.
#pragma once

#include <functional>
#include <string>

#include "host/cli/commands.h"
#include "host/store/history.h"
#include "host/store/log_book.h"

namespace quillet::host {

struct AdifScan;
// The Windows dialog operator (services/windows_dialog_operator.h), named
// only: its window types stay out of the command's header.
class DialogOperator;
struct DialogControls;

inline constexpr const char* kImportCommandCaption = "Append ADIF data into current log";

struct ImportOptions {
  std::string file;
  int mode = 1;
  int window = 0;  // the match window in minutes, 0: the exact minute
  std::string log = std::string(kDefaultLogName);
  std::string operatorCall;
  bool operatorGiven = false;  // also an empty --operator ""
  std::string closing = std::string(kDefaultClosingDate);
  bool closingGiven = false;
  std::string module;  // empty: Quillet.ext beside the quillet binary
  bool quiet = false;
  bool json = false;
  bool strict = false;
  // Commit every statement on its own instead of in batches: the baseline
  // of the import benchmark (hidden --commit-each).
  bool commitEach = false;
  // The whole run inside one transaction that is rolled back at its end;
  // the error file goes to errFile (empty: standard error) instead.
  bool dryRun = false;
  std::string errFile;
  // The undo data kept: for the newest keep imports of the log; none at
  // all for this import with noHistory.
  int keep = kDefaultHistoryKept;
  bool noHistory = false;
  DatabaseOptions database;
};

// kExitOk when the module reported the run processed (kExitIgnored instead
// with strict when it ignored or rejected records), kExitUsage when the
// options disagree with the log, kExitIncomplete otherwise.
int RunImport(const ImportOptions& options);
#ifdef _WIN32
// With the real dialog operated by script (a DialogScript) instead of
// "Append" then "Close"; 0 also needs the script to succeed.
int RunImport(const ImportOptions& options,
              const std::function<int(DialogOperator& person, const DialogControls& dialog)>& script);
#endif

// Raised before any change when an import cannot start; the message is the
// line the user sees.
struct ImportRefused {
  int status;
  std::string message;
};

// The log to import into. An existing log must agree with the options'
// operator and closing date, when given; a new one takes the options' or,
// without one, the most frequent operator of the file. Raises ImportRefused;
// created is set when the log is new (it is not stored yet). A book of
// nullptr is a database that does not exist yet.
LogEntry ChooseLog(LogBook* book, const ImportOptions& options, const AdifScan& scan, bool& created);

}  // namespace quillet::host
