#include "import_process.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace quillet::bench {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

ImportOutcome RunQuillet(const fs::path& folder, const std::vector<std::string>& arguments) {
  const std::string quillet = QUILLET_BINARY_DIR "/bin/quillet";
  const std::string out = (folder / "run.out").string(), err = (folder / "run.err").string();
  std::vector<const char*> argv = {quillet.c_str()};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  std::fflush(nullptr);  // the child must not write this process's buffers again
  const auto started = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0 || !std::freopen(out.c_str(), "w", stdout) ||
        !std::freopen(err.c_str(), "w", stderr)) {
      _exit(126);
    }
    execv(quillet.c_str(), const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  ImportOutcome outcome;
  if (child < 0) return outcome;
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
  }
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  outcome.peakMegabytes = static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;  // ru_maxrss is in KiB
  outcome.exitedZero = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  outcome.output = ReadFile(out);
  return outcome;
}

void RemoveDatabase(const fs::path& folder, const std::string& name) {
  const std::string stem = fs::path(name).stem().string();
  for (const std::string& file : {name, name + "-wal", name + "-shm", name + "-journal", stem + ".ini"}) {
    fs::remove(folder / file);
  }
}

}  // namespace quillet::bench
