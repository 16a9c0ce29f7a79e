#include "engine/fake_port.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include "runtime/text.h"

namespace quillet::testing {

TempFolder::TempFolder() {
  static std::atomic<int> serial{0};
  static const unsigned run = std::random_device{}();
  path_ = std::filesystem::temp_directory_path() /
          ("quillet_engine_" + std::to_string(run) + "_" + std::to_string(serial++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::u16string TempFolder::File(std::string_view name) const {
  return Utf8ToUtf16((path_ / std::string(name)).string());
}

std::string ReadBytes(std::u16string_view path) {
  std::ifstream in(Utf16ToUtf8(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(std::u16string_view path, std::string_view bytes) {
  std::ofstream out(Utf16ToUtf8(path), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quillet::testing
