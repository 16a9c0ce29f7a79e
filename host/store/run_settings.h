// The settings file of one import run. The module reads what the host
// hands it (the file and the mode) from the file "APPINI" names, and
// writes back what it remembers there. Imports into one database run side
// by side, so each run gets a copy of the database's shared settings file
// of its own: no run ever reads another run's file or mode. What the run
// remembers is merged back into the shared file when it has completed.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "host/os/interrupt.h"
#include "host/os/run_file.h"

namespace quillet::host {

class RunSettings {
 public:
  // Copies the shared file (absent: empty) to a new file in the temporary
  // folder, first removing the copies of runs that were killed; raises
  // HostError when it cannot be written.
  explicit RunSettings(std::string sharedPath);
  // Removes the run's copy; so does a SIGINT or SIGTERM that ends the run.
  ~RunSettings();
  RunSettings(const RunSettings&) = delete;
  RunSettings& operator=(const RunSettings&) = delete;

  // The run's copy, for "APPINI".
  const std::string& Path() const { return copy_->Path(); }
  // Sets a value in the run's copy; raises HostError.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Copies the keys of section that the run's copy holds into the shared
  // file, under a lock beside it (the file's name and ".lock"), re-read
  // then so that what other runs stored stays, and replaced at once
  // (written beside it and renamed); raises HostError.
  void MergeBack(std::string_view section, std::span<const std::string_view> keys) const;

 private:
  std::string sharedPath_;
  std::unique_ptr<RunFile> copy_;
  std::unique_ptr<InterruptCleanup> removeWhenInterrupted_;
};

}  // namespace quillet::host
