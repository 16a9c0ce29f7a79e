// Files as the module uses them. Paths are UTF-16 text; each platform maps
// them to its own file names.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// <windows.h> maps DeleteFile to DeleteFileW; the module's own function
// keeps its name in every translation unit.
#ifdef DeleteFile
#undef DeleteFile
#endif

namespace quillet {

// A regular file read from its start a piece at a time, so that a large
// file is never held whole; closed when destroyed.
class FileReader {
 public:
  // IsOpen() tells whether path named a regular file that could be opened.
  explicit FileReader(std::u16string_view path);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }
  // Appends up to count bytes to bytes, fewer only at the end of the file;
  // false on a read error.
  bool Read(std::string& bytes, std::size_t count);
  // The file's size when it was opened.
  std::size_t Size() const { return size_; }

 private:
  // One read of the system's: the bytes read into into, 0 at the end of
  // the file, -1 on an error.
  std::ptrdiff_t ReadSome(char* into, std::size_t count);

  struct Handle;
  std::unique_ptr<Handle> handle_;
  std::size_t size_ = 0;
};

// The whole content of a file; false when it cannot be opened or read.
bool ReadWholeFile(std::u16string_view path, std::string& bytes);
// Creates or truncates the file and writes bytes; false on failure.
bool WriteWholeFile(std::u16string_view path, std::string_view bytes);
// Appends bytes, creating the file when it does not exist; false on
// failure, when the file is cut back to the length it had before, so that
// it never ends in part of what was appended.
bool AppendToFile(std::u16string_view path, std::string_view bytes);

bool FileExists(std::u16string_view path);  // a regular file, not a folder
bool DirectoryExists(std::u16string_view path);
bool DeleteFile(std::u16string_view path);  // false when nothing was deleted

// The separator of path parts ('\\' on Windows, '/' elsewhere); both are
// accepted when splitting.
char16_t PathDelimiter();
// The part after the last delimiter.
std::u16string ExtractFileName(std::u16string_view path);
// Everything before the last delimiter, without it.
std::u16string ExtractFileDir(std::u16string_view path);
// The folder part including its trailing delimiter ("" when there is none).
std::u16string ExtractFilePath(std::u16string_view path);
// From the last '.' of the file name on, point included; "" when none.
std::u16string ExtractFileExt(std::u16string_view path);

}  // namespace quillet
