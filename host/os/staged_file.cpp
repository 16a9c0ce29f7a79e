#include "host/os/staged_file.h"

#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "host/base/host_error.h"

namespace quillet::host {

StagedFile::StagedFile(std::string target)
    : target_(std::move(target)), temporary_(target_ + ".part" + std::to_string(std::random_device()())) {
  stream_.open(temporary_, std::ios::binary | std::ios::trunc);
  if (!stream_) throw HostError("cannot write " + target_);
}

StagedFile::~StagedFile() {
  if (committed_) return;
  stream_.close();
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

void StagedFile::Commit() {
  stream_.close();
  std::error_code error;
  if (stream_) std::filesystem::rename(temporary_, target_, error);
  if (!stream_ || error) throw HostError("cannot write " + target_);
  committed_ = true;
}

}  // namespace quillet::host
