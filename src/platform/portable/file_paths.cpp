// The parts of a path, the same on every platform once LastPathDelimiter
// has said where the folder part ends.
#include "platform/files.h"
#include "platform/portable/path_delimiters.h"

namespace quillet {

std::u16string ExtractFileName(std::u16string_view path) {
  const std::size_t last = LastPathDelimiter(path);
  return std::u16string(last == std::u16string_view::npos ? path : path.substr(last + 1));
}

// A drive's colon stays: the folder of "C:log.adi" is "C:", the drive's
// current folder, where "C" alone would name a file.
std::u16string ExtractFileDir(std::u16string_view path) {
  const std::size_t last = LastPathDelimiter(path);
  if (last == std::u16string_view::npos) return {};
  return std::u16string(path.substr(0, path[last] == u':' ? last + 1 : last));
}

std::u16string ExtractFilePath(std::u16string_view path) {
  const std::size_t last = LastPathDelimiter(path);
  return last == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, last + 1));
}

// A point in a folder's name is no extension: "logs.old\qso" has none.
std::u16string ExtractFileExt(std::u16string_view path) {
  const std::size_t last = LastPathDelimiter(path);
  const std::size_t dot = path.find_last_of(u'.');
  if (dot == std::u16string_view::npos || (last != std::u16string_view::npos && dot < last)) return {};
  return std::u16string(path.substr(dot));
}

}  // namespace quillet
