#include "host/cli/error_file_diversion.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "host/base/host_error.h"
#include "host/base/text.h"
#include "host/os/staged_file.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadIfPresent(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string ErrorFilePathOf(const std::string& source) {
  fs::path path = source;
  if (EqualsNoCase(path.extension().string(), ".err")) return source + ".err";
  return path.replace_extension(".err").string();
}

ErrorFileDiversion::ErrorFileDiversion(std::string errorFile, std::string target)
    : errorFile_(std::move(errorFile)), target_(std::move(target)), before_(ReadIfPresent(errorFile_)) {}

ErrorFileDiversion::~ErrorFileDiversion() {
  if (!finished_) Restore();
}

void ErrorFileDiversion::Finish() {
  finished_ = true;
  const std::optional<std::string> written = ReadIfPresent(errorFile_);
  Restore();
  if (!written || written == before_) return;
  if (target_.empty()) {
    std::fwrite(written->data(), 1, written->size(), stderr);
    std::fputs("\n", stderr);
    return;
  }
  StagedFile file(target_);
  file.Stream() << *written;
  file.Commit();
}

void ErrorFileDiversion::Restore() noexcept {
  std::error_code error;
  if (!before_) {
    fs::remove(errorFile_, error);
    return;
  }
  if (ReadIfPresent(errorFile_) == before_) return;
  try {
    StagedFile file(errorFile_);
    file.Stream() << *before_;
    file.Commit();
  } catch (const HostError&) {
    std::fprintf(stderr, "quillet: the error file %s could not be put back\n", errorFile_.c_str());
  }
}

}  // namespace quillet::host
