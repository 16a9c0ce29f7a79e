// The error file of a dry run. The module writes it beside the source as
// in a real run; the diversion hands what it wrote to standard error or to
// a file of the user's choosing and puts back what was there before (the
// previous run's error file, or nothing), so that a dry run leaves no trace
// beside the source. What was there is also kept in the temporary folder
// while the dry run lasts: should the run be killed outright, the next
// import puts it back.
#pragma once

#include <optional>
#include <string>

#include "host/os/interrupt.h"
#include "host/os/run_file.h"

namespace quillet::host {

// The module's error file for a source, named by the module's own rule
// (engine/error_file.h), so that the host diverts and reports the file the
// module writes.
std::string ErrorFilePathOf(const std::string& source);

// Puts back the error files of dry runs that were killed outright.
void RestoreAbandonedErrorFiles();

class ErrorFileDiversion {
 public:
  // target: the file that receives the run's error file; empty: standard
  // error.
  ErrorFileDiversion(std::string errorFile, std::string target);
  // Restores the error file when Finish() did not.
  ~ErrorFileDiversion();
  ErrorFileDiversion(const ErrorFileDiversion&) = delete;
  ErrorFileDiversion& operator=(const ErrorFileDiversion&) = delete;

  // Hands on what the run wrote, if anything, and restores the error file.
  // Raises HostError when the target cannot be written.
  void Finish();

 private:
  void Restore() noexcept;

  std::string errorFile_, target_;
  std::optional<std::string> before_;  // nullopt: there was no error file
  RunFile kept_;                       // before_, for the next run should this one be killed
  bool finished_ = false;
  // A run ended by SIGINT or SIGTERM puts the error file back too.
  InterruptCleanup cleanup_{[this] { Restore(); }};
};

}  // namespace quillet::host
