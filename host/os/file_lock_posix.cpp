#include "host/os/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "host/base/host_error.h"

namespace quillet::host {
namespace {

int Descriptor(void* handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)); }

}  // namespace

// flock locks belong to the open file, so two objects of one process
// exclude each other too, as two processes do.
FileLock::FileLock(const std::string& path, Wait wait) {
  const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor < 0) throw HostError("cannot open " + path + ": " + std::strerror(errno));
  handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor));
  int result;
  while ((result = flock(descriptor, LOCK_EX | (wait == Wait::No ? LOCK_NB : 0))) != 0 && errno == EINTR) {
  }
  held_ = result == 0;
  if (!held_ && errno != EWOULDBLOCK) {
    const int error = errno;
    close(descriptor);
    throw HostError("cannot lock " + path + ": " + std::strerror(error));
  }
}

FileLock::~FileLock() { close(Descriptor(handle_)); }

}  // namespace quillet::host
