#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <utility>

#include "platform/portable/path_delimiters.h"
#include "runtime/text.h"

namespace quillet {
namespace {

std::string NativePath(std::u16string_view path) { return Utf16ToUtf8(path); }

bool Write(std::u16string_view path, std::string_view bytes, const char* mode) {
  std::FILE* file = std::fopen(NativePath(path).c_str(), mode);
  if (file == nullptr) return false;
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

// Closes a file descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

struct FileReader::Handle {
  Descriptor file;
};

FileReader::FileReader(std::u16string_view path) {
  Descriptor file(open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  handle_ = std::make_unique<Handle>(Handle{std::move(file)});
  size_ = static_cast<std::size_t>(info.st_size);
}

FileReader::~FileReader() = default;

std::ptrdiff_t FileReader::ReadSome(char* into, std::size_t count) {
  for (;;) {
    const ssize_t got = read(handle_->file.get(), into, count);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool WriteWholeFile(std::u16string_view path, std::string_view bytes) { return Write(path, bytes, "wb"); }

bool AppendToFile(std::u16string_view path, std::string_view bytes) {
  Descriptor file(open(NativePath(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  struct stat info {};
  if (file.get() < 0 || fstat(file.get(), &info) != 0) return false;
  if (!WriteAll(file.get(), bytes)) {
    if (ftruncate(file.get(), info.st_size) != 0) {
      // Nothing more can be done: the write failure is what gets reported.
    }
    return false;
  }
  return file.Close();
}

bool FileExists(std::u16string_view path) {
  struct stat info {};
  return !path.empty() && stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(std::u16string_view path) {
  struct stat info {};
  return !path.empty() && stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFile(std::u16string_view path) { return unlink(NativePath(path).c_str()) == 0; }

char16_t PathDelimiter() { return u'/'; }

std::size_t LastPathDelimiter(std::u16string_view path) { return path.find_last_of(u"/\\"); }

}  // namespace quillet
