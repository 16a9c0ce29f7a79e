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

constexpr std::string_view kKeptPrefix = "quillet-dry-run-";
constexpr std::string_view kKeptExtension = ".err";

// The kept file: the error file's absolute path on the first line, then
// "1" and its content, or "0" when there was none.
std::string KeptText(const std::string& errorFile, const std::optional<std::string>& before) {
  std::error_code error;
  const fs::path absolute = fs::absolute(errorFile, error);
  return (error ? errorFile : absolute.string()) + "\n" + (before ? "1" + *before : "0");
}

void PutBack(const std::string& errorFile, const std::optional<std::string>& before) {
  std::error_code error;
  if (!before) {
    fs::remove(errorFile, error);
    return;
  }
  // Staged and renamed: a reader never sees half of the file put back.
  StagedFile file(errorFile);
  file.Stream() << *before;
  file.Commit();
}

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

void RestoreAbandonedErrorFiles() {
  RecoverLeftOverRunFiles(RunFileFolder(), kKeptPrefix, kKeptExtension, [](const std::string& kept) {
    const std::optional<std::string> text = ReadIfPresent(kept);
    const std::size_t lineEnd = text ? text->find('\n') : std::string::npos;
    if (lineEnd == std::string::npos || lineEnd + 1 >= text->size()) return;  // written only in part
    const std::string errorFile = text->substr(0, lineEnd);
    const bool existed = (*text)[lineEnd + 1] == '1';
    try {
      PutBack(errorFile, existed ? std::optional(text->substr(lineEnd + 2)) : std::nullopt);
      std::fprintf(stderr, "quillet: put back %s, left as it was by a dry run that was killed\n",
                   errorFile.c_str());
    } catch (const HostError&) {
      std::fprintf(stderr, "quillet: the error file %s could not be put back\n", errorFile.c_str());
    }
  });
}

// What was there before is kept whole: a dry run must leave the file as it
// found it, and the file of an earlier run is small.
ErrorFileDiversion::ErrorFileDiversion(std::string errorFile, std::string target)
    : errorFile_(std::move(errorFile)),
      target_(std::move(target)),
      before_(ReadIfPresent(errorFile_)),
      kept_(kKeptPrefix, kKeptExtension, KeptText(errorFile_, before_)) {}

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
  if (ReadIfPresent(errorFile_) != before_) {
    try {
      PutBack(errorFile_, before_);
    } catch (const HostError&) {
      std::fprintf(stderr, "quillet: the error file %s could not be put back\n", errorFile_.c_str());
      return;  // kept for the next run to try again
    }
  }
  kept_.Remove();
}

}  // namespace quillet::host
