#include "host/store/run_settings.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "host/base/host_error.h"
#include "host/store/settings_file.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRunPrefix = "quillet-run-";

std::string LockPathOf(const std::string& path) { return fs::path(path).replace_extension(".lock").string(); }

// A run killed outright leaves its copy and its lock file; the lock is
// free once its process has gone, so any copy whose lock can be taken is
// left over and goes.
void RemoveLeftOverCopies(const fs::path& folder) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& path = it->path();
    if (path.extension() != ".lock" || !path.filename().string().starts_with(kRunPrefix)) continue;
    try {
      const FileLock lock(path.string(), FileLock::Wait::No);
      if (!lock.Held()) continue;
      std::error_code ignored;
      fs::remove(fs::path(path).replace_extension(".ini"), ignored);
      fs::remove(path, ignored);
    } catch (const HostError&) {
      // Another user's, or gone meanwhile: not ours to clean.
    }
  }
}

// A name no other run takes: created only when absent, after its lock is
// held, so that no other run takes the new copy for a left-over one.
std::string CreateUniqueFile(const fs::path& folder, const std::string& content,
                             std::unique_ptr<FileLock>& lock) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path path = folder / (std::string(kRunPrefix) + std::to_string(random()) + ".ini");
    std::error_code error;
    if (fs::exists(path, error) || fs::exists(LockPathOf(path.string()), error)) continue;
    lock = std::make_unique<FileLock>(LockPathOf(path.string()), FileLock::Wait::UntilHeld);
    std::ofstream out(path, std::ios::binary | std::ios::out | std::ios::app);
    if (!out) break;
    out << content;
    out.close();
    if (out) return path.string();
  }
  throw HostError("cannot write a settings file in " + folder.string());
}

void RemoveCopy(const std::string& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
  fs::remove(LockPathOf(path), ignored);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

RunSettings::RunSettings(std::string sharedPath) : sharedPath_(std::move(sharedPath)) {
  std::error_code error;
  fs::path folder = fs::temp_directory_path(error);
  // Without a temporary folder, beside the shared file, where the run
  // writes anyway.
  if (error) folder = fs::path(sharedPath_).parent_path();
  RemoveLeftOverCopies(folder);
  path_ = CreateUniqueFile(folder, ReadText(sharedPath_), lock_);
  removeWhenInterrupted_ = std::make_unique<InterruptCleanup>([path = path_] { RemoveCopy(path); });
}

RunSettings::~RunSettings() { RemoveCopy(path_); }

void RunSettings::Set(std::string_view section, std::string_view key, std::string_view value) {
  IniFile file = IniFile::Load(path_);
  file.Set(section, key, value);
  file.Save();
}

// Runs that complete together merge one at a time, each over what the
// others stored; readers never lock, as the file is replaced whole.
void RunSettings::MergeBack(std::string_view section, std::span<const std::string_view> keys) const {
  const FileLock merging(sharedPath_ + ".lock", FileLock::Wait::UntilHeld);
  const IniFile run = IniFile::Load(path_);
  IniFile shared = IniFile::Load(sharedPath_);
  for (const std::string_view key : keys) {
    if (const auto value = run.Get(section, key)) shared.Set(section, key, *value);
  }
  shared.Save();
}

}  // namespace quillet::host
