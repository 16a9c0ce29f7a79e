#include "platform/files.h"

namespace quillet {

bool FileReader::Read(std::string& bytes, std::size_t count) {
  if (!handle_) return false;
  const std::size_t start = bytes.size();
  bytes.resize(start + count);
  std::size_t filled = 0;
  while (filled < count) {
    const std::ptrdiff_t got = ReadSome(bytes.data() + start + filled, count - filled);
    if (got < 0) {
      bytes.resize(start);
      return false;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(start + filled);
  return true;
}

bool ReadWholeFile(std::u16string_view path, std::string& bytes) {
  FileReader file(path);
  if (!file.IsOpen()) return false;
  bytes.clear();
  bytes.reserve(file.Size());
  constexpr std::size_t kPiece = 1u << 20;
  for (;;) {
    const std::size_t before = bytes.size();
    if (!file.Read(bytes, kPiece)) return false;
    if (bytes.size() - before < kPiece) return true;
  }
}

}  // namespace quillet
