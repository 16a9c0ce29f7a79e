// One import by the built quillet, run as a process of its own so that its
// peak resident memory is its alone (fork, wait4: POSIX).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillet::bench {

struct ImportOutcome {
  double seconds = 0;
  double peakMegabytes = 0;
  bool exitedZero = false;
  std::string output;  // what the import wrote to standard output
};

// Runs quillet with arguments in folder, its standard output and error
// going to run.out and run.err there.
ImportOutcome RunQuillet(const std::filesystem::path& folder, const std::vector<std::string>& arguments);

// Removes a database and its companions (journal files, settings file).
void RemoveDatabase(const std::filesystem::path& folder, const std::string& name);

}  // namespace quillet::bench
