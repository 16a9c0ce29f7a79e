#include "host/store/run_settings.h"

#include <filesystem>
#include <fstream>

#include "host/base/host_error.h"
#include "host/os/file_lock.h"
#include "host/store/settings_file.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRunPrefix = "quillet-run-";
constexpr std::string_view kRunExtension = ".ini";

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// A run killed outright leaves its copy, which the next run removes: what
// it remembered is lost with it, as the run did not complete.
RunSettings::RunSettings(std::string sharedPath) : sharedPath_(std::move(sharedPath)) {
  // Without a temporary folder, beside the shared file, where the run
  // writes anyway.
  const fs::path fallback = fs::path(sharedPath_).parent_path();
  RecoverLeftOverRunFiles(RunFileFolder(fallback), kRunPrefix, kRunExtension, [](const std::string&) {});
  copy_ = std::make_unique<RunFile>(kRunPrefix, kRunExtension, ReadText(sharedPath_), fallback);
  removeWhenInterrupted_ = std::make_unique<InterruptCleanup>([copy = copy_.get()] { copy->Remove(); });
}

RunSettings::~RunSettings() = default;

void RunSettings::Set(std::string_view section, std::string_view key, std::string_view value) {
  IniFile file = IniFile::Load(Path());
  file.Set(section, key, value);
  file.Save();
}

// Runs that complete together merge one at a time, each over what the
// others stored; readers never lock, as the file is replaced whole.
void RunSettings::MergeBack(std::string_view section, std::span<const std::string_view> keys) const {
  const FileLock merging(sharedPath_ + ".lock", FileLock::Wait::UntilHeld);
  const IniFile run = IniFile::Load(Path());
  IniFile shared = IniFile::Load(sharedPath_);
  for (const std::string_view key : keys) {
    if (const auto value = run.Get(section, key)) shared.Set(section, key, *value);
  }
  shared.Save();
}

}  // namespace quillet::host
