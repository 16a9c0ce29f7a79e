#include "platform/files.h"

namespace quillet {

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
