// Files through the wide Win32 API: paths stay UTF-16 all the way.
#include "platform/win32/wide_path.h"
// (after <windows.h>, which maps DeleteFile; files.h restores the name)
#include "platform/files.h"
#include "platform/portable/path_delimiters.h"

#include <memory>
#include <utility>

namespace quillet {
namespace {

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

HANDLE Open(std::u16string_view path, DWORD access, DWORD disposition) {
  return CreateFileW(win32::Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    constexpr std::size_t kChunk = 1u << 20;
    const auto chunk = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
    if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == 0 || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool Write(HANDLE handle, std::string_view bytes) {
  FileHandle file(handle);
  if (!file.valid()) return false;
  const bool written = WriteAll(file.get(), bytes);
  return file.Close() && written;
}

DWORD Attributes(std::u16string_view path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(win32::Wide(path).c_str());
}

}  // namespace

struct FileReader::Handle {
  FileHandle file;
};

FileReader::FileReader(std::u16string_view path) {
  FileHandle file(Open(path, GENERIC_READ, OPEN_EXISTING));
  LARGE_INTEGER size{};
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK || GetFileSizeEx(file.get(), &size) == 0) {
    return;
  }
  handle_ = std::make_unique<Handle>(Handle{std::move(file)});
  size_ = static_cast<std::size_t>(size.QuadPart);
}

FileReader::~FileReader() = default;

// ReadFile takes a 32-bit count.
std::ptrdiff_t FileReader::ReadSome(char* into, std::size_t count) {
  constexpr std::size_t kMostPerCall = 1u << 20;
  DWORD got = 0;
  const auto asked = static_cast<DWORD>(count < kMostPerCall ? count : kMostPerCall);
  if (ReadFile(handle_->file.get(), into, asked, &got, nullptr) == 0) return -1;
  return static_cast<std::ptrdiff_t>(got);
}

bool WriteWholeFile(std::u16string_view path, std::string_view bytes) {
  return Write(Open(path, GENERIC_WRITE, CREATE_ALWAYS), bytes);
}

// Writes at the end it found, and on a failed write sets that end again.
bool AppendToFile(std::u16string_view path, std::string_view bytes) {
  FileHandle file(Open(path, GENERIC_WRITE, OPEN_ALWAYS));
  LARGE_INTEGER size{};
  if (!file.valid() || GetFileSizeEx(file.get(), &size) == 0 ||
      SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) == 0) {
    return false;
  }
  if (!WriteAll(file.get(), bytes)) {
    if (SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) != 0) SetEndOfFile(file.get());
    return false;
  }
  return file.Close();
}

bool FileExists(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFile(std::u16string_view path) {
  return !path.empty() && DeleteFileW(win32::Wide(path).c_str()) != 0;
}

char16_t PathDelimiter() { return u'\\'; }

std::size_t LastPathDelimiter(std::u16string_view path) { return path.find_last_of(u"\\/:"); }

}  // namespace quillet
