#include "host/os/run_file.h"

#include <fstream>
#include <random>

#include "host/base/host_error.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

std::string LockPathOf(const fs::path& path) { return fs::path(path).replace_extension(".lock").string(); }

// The file goes first, then the lock is let go, then its file: Windows
// removes no file that is open, and a process that takes the free lock
// meanwhile finds nothing left to recover.
void RemoveWithLock(const fs::path& path, std::unique_ptr<FileLock>& lock) noexcept {
  std::error_code ignored;
  fs::remove(path, ignored);
  lock.reset();
  fs::remove(LockPathOf(path), ignored);
}

}  // namespace

fs::path RunFileFolder(const fs::path& fallbackFolder) {
  std::error_code error;
  fs::path folder = fs::temp_directory_path(error);
  return error ? fallbackFolder : folder;
}

// A name is taken only when neither it nor its lock file exists, and the
// lock is held before the file is written, so that no other process takes
// the new file for a left-over one.
RunFile::RunFile(std::string_view prefix, std::string_view extension, std::string_view content,
                 const fs::path& fallbackFolder) {
  const fs::path folder = RunFileFolder(fallbackFolder);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path path = folder / (std::string(prefix) + std::to_string(random()) + std::string(extension));
    std::error_code error;
    if (fs::exists(path, error) || fs::exists(LockPathOf(path), error)) continue;
    lock_ = std::make_unique<FileLock>(LockPathOf(path), FileLock::Wait::UntilHeld);
    std::ofstream out(path, std::ios::binary | std::ios::out | std::ios::app);
    if (!out) break;
    out << content;
    out.close();
    if (!out) break;
    path_ = path.string();
    return;
  }
  lock_.reset();
  throw HostError("cannot write a file in " + folder.string());
}

RunFile::~RunFile() { Remove(); }

void RunFile::Remove() noexcept {
  if (path_.empty()) return;
  RemoveWithLock(path_, lock_);
  path_.clear();
}

void RecoverLeftOverRunFiles(const fs::path& folder, std::string_view prefix, std::string_view extension,
                             const std::function<void(const std::string&)>& recover) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& lockPath = it->path();
    if (lockPath.extension() != ".lock" || !lockPath.filename().string().starts_with(prefix)) continue;
    const fs::path path = fs::path(lockPath).replace_extension(extension);
    try {
      auto lock = std::make_unique<FileLock>(lockPath.string(), FileLock::Wait::No);
      if (!lock->Held()) continue;
      std::error_code missing;
      if (fs::exists(path, missing)) recover(path.string());
      RemoveWithLock(path, lock);
    } catch (const HostError&) {
      // Another user's, or gone meanwhile: not ours to recover.
    }
  }
}

}  // namespace quillet::host
