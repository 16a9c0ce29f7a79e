// An exclusive lock between processes, held on a lock file for as long as
// the object lives. The lock file stays: removing it would let a process
// that opened it before the removal and one that creates it anew both hold
// "the" lock.
#pragma once

#include <string>

namespace quillet::host {

class FileLock {
 public:
  enum class Wait { UntilHeld, No };

  // Opens (creating when absent) the file at path and locks it; with
  // Wait::No, returns at once and Held() tells whether it was free.
  // Raises HostError when the file cannot be opened or locked.
  FileLock(const std::string& path, Wait wait);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return held_; }

 private:
  void* handle_ = nullptr;  // the open lock file (a HANDLE, or a descriptor's value)
  bool held_ = false;
};

}  // namespace quillet::host
