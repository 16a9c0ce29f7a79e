// quillet import FILE: imports an ADIF file into a log through the module's
// menu command, as an operator would, and reports whether it completed.
#pragma once

#include <string>

#include "host/commands.h"
#include "host/log_book.h"
#ifdef _WIN32
#include "host/windows_dialog_operator.h"
#endif

namespace quillet::host {

inline constexpr const char* kImportCommandCaption = "Append ADIF data into current log";

struct ImportOptions {
  std::string file;
  int mode = 1;
  std::string log = std::string(kDefaultLogName);
  std::string operatorCall;
  std::string closing = std::string(kDefaultClosingDate);
  std::string module;  // empty: Quillet.ext beside the quillet binary
  DatabaseOptions database;
};

// 0 when the module reported the run processed, 1 otherwise.
int RunImport(const ImportOptions& options);
#ifdef _WIN32
// With the real dialog operated by script instead of "Append" then "Close";
// 0 also needs the script to succeed.
int RunImport(const ImportOptions& options, const DialogScript& script);
#endif

// The log to import into, created on first use with the operator of the
// options or, without one, the first operator callsign of the file.
LogEntry EnsureLog(LogBook& book, const ImportOptions& options);

}  // namespace quillet::host
