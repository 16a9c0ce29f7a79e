#include "host/cli/error_file_diversion.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "engine/error_file.h"
#include "host/base/host_error.h"
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

// Paths are in the system's narrow encoding, as the command line gave them.
std::string ErrorFilePathOf(const std::string& source) {
  return fs::path(quillet::ErrorFilePathOf(fs::path(source).u16string())).string();
}

// What was there before is kept whole: a dry run must leave the file as it
// found it, and the file of an earlier run is small.
ErrorFileDiversion::ErrorFileDiversion(std::string errorFile, std::string target)
    : errorFile_(std::move(errorFile)), target_(std::move(target)), before_(ReadIfPresent(errorFile_)) {}

ErrorFileDiversion::~ErrorFileDiversion() {
  if (!finished_) Restore();
}

void ErrorFileDiversion::Finish() {
  finished_ = true;
  const std::optional<std::string> written = ReadIfPresent(errorFile_);
  Restore();
  // The same text as before: the run wrote no error file of its own.
  if (!written || written == before_) return;
  if (target_.empty()) {
    std::fwrite(written->data(), 1, written->size(), stderr);
    // What the host writes next starts on a line of its own.
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
  // Staged and renamed: a reader never sees half of the file put back.
  try {
    StagedFile file(errorFile_);
    file.Stream() << *before_;
    file.Commit();
  } catch (const HostError&) {
    std::fprintf(stderr, "quillet: the error file %s could not be put back\n", errorFile_.c_str());
  }
}

}  // namespace quillet::host
