#include "host/os/file_lock.h"

#include <windows.h>

#include "host/base/host_error.h"

namespace quillet::host {

// The lock is a byte range of the file, so that the file itself stays open
// to every process that locks it.
FileLock::FileLock(const std::string& path, Wait wait) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw HostError("cannot open " + path + ": error " + std::to_string(GetLastError()));
  handle_ = file;
  OVERLAPPED whole{};
  const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait == Wait::No ? LOCKFILE_FAIL_IMMEDIATELY : 0);
  held_ = LockFileEx(file, flags, 0, 1, 0, &whole) != 0;
  if (!held_ && GetLastError() != ERROR_LOCK_VIOLATION) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    throw HostError("cannot lock " + path + ": error " + std::to_string(error));
  }
}

FileLock::~FileLock() { CloseHandle(static_cast<HANDLE>(handle_)); }

}  // namespace quillet::host
