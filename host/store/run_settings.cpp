#include "host/store/run_settings.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "host/base/host_error.h"
#include "host/store/settings_file.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

// A name no other run takes: created only when absent.
std::string CreateUniqueFile(const fs::path& folder, const std::string& content) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path path = folder / ("quillet-run-" + std::to_string(random()) + ".ini");
    std::error_code error;
    if (fs::exists(path, error)) continue;
    std::ofstream out(path, std::ios::binary | std::ios::out | std::ios::app);
    if (!out) break;
    out << content;
    out.close();
    if (out) return path.string();
  }
  throw HostError("cannot write a settings file in " + folder.string());
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

RunSettings::RunSettings(std::string sharedPath) : sharedPath_(std::move(sharedPath)) {
  std::error_code error;
  fs::path folder = fs::temp_directory_path(error);
  if (error) folder = fs::path(sharedPath_).parent_path();
  path_ = CreateUniqueFile(folder, ReadText(sharedPath_));
}

RunSettings::~RunSettings() {
  std::error_code ignored;
  fs::remove(path_, ignored);
}

void RunSettings::Set(std::string_view section, std::string_view key, std::string_view value) {
  IniFile file = IniFile::Load(path_);
  file.Set(section, key, value);
  file.Save();
}

void RunSettings::MergeBack(std::string_view section, std::span<const std::string_view> keys) const {
  const IniFile run = IniFile::Load(path_);
  IniFile shared = IniFile::Load(sharedPath_);
  for (const std::string_view key : keys) {
    if (const auto value = run.Get(section, key)) shared.Set(section, key, *value);
  }
  shared.Save();
}

}  // namespace quillet::host
