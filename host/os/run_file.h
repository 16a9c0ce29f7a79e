// A file that belongs to one quillet process while it runs, in the temporary
// folder: a copy of the settings for the module, or what a dry run must put
// back. Processes run side by side, and one may be killed outright, so each
// file is claimed by a lock file beside it (same name, ".lock") that its
// process holds while it lives. A file whose lock is free was left by a
// process that is gone, and the next process of the same kind recovers it.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/os/file_lock.h"

namespace quillet::host {

class RunFile {
 public:
  // Creates a new file named prefix, a number no other process took, and
  // extension, in the temporary folder (else in fallbackFolder), holding
  // content; raises HostError when it cannot be written.
  RunFile(std::string_view prefix, std::string_view extension, std::string_view content,
          const std::filesystem::path& fallbackFolder = {});
  // Removes the file and its lock file.
  ~RunFile();
  RunFile(const RunFile&) = delete;
  RunFile& operator=(const RunFile&) = delete;

  const std::string& Path() const { return path_; }
  // Removes the file and its lock file now; safe to call again.
  void Remove() noexcept;

 private:
  std::string path_;
  std::unique_ptr<FileLock> lock_;
};

// The folder of run files: the temporary folder, else fallbackFolder.
std::filesystem::path RunFileFolder(const std::filesystem::path& fallbackFolder = {});

// Calls recover for every file named prefix...extension in folder whose
// process is gone, then removes it and its lock file. A file whose lock is
// held, or that belongs to another user, is left alone.
void RecoverLeftOverRunFiles(const std::filesystem::path& folder, std::string_view prefix,
                             std::string_view extension,
                             const std::function<void(const std::string&)>& recover);

}  // namespace quillet::host
