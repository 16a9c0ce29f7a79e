// A file written under a temporary name beside its target and renamed onto
// it only when complete: a failed or interrupted write never leaves half a
// file under the target's name, and an existing target stays until then.
#pragma once

#include <fstream>
#include <string>

namespace quillet::host {

class StagedFile {
 public:
  // Raises HostError when the temporary file cannot be created.
  explicit StagedFile(std::string target);
  // Removes the temporary file unless Commit() renamed it.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  std::ostream& Stream() { return stream_; }
  // Flushes, closes and renames onto the target; raises HostError when any
  // of it fails (the temporary file is then removed).
  void Commit();

 private:
  std::string target_;
  std::string temporary_;
  std::ofstream stream_;
  bool committed_ = false;
};

}  // namespace quillet::host
