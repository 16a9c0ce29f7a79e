// The cost of committing: the same generated file imported into a fresh
// database by the built quillet, once with every statement committed on its
// own (--commit-each) and once in the host's batches, each run a separate
// process. Reports records per second, the ratio of the two, and the peak
// resident memory of each import process.
//
//   import_commit_bench [--runs N] [RECORDS...]
//
// RECORDS defaults to 100000; give 100000 1000000 for the large file too
// (the per-statement run of 1M records takes minutes). Each size runs N
// times (default 1) in pairs, and the median of each path is reported.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "generated_adif.h"
#include "import_process.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  double seconds = 0;
  double peakMegabytes = 0;
  bool completed = false;
};

// One import into a fresh database, as its own process.
Outcome Import(const fs::path& folder, const fs::path& source, long records, bool commitEach) {
  quillet::bench::RemoveDatabase(folder, "bench.sqlite");
  std::vector<std::string> arguments = {"import",     source.string(), "--db",   "bench.sqlite",
                                        "--operator", "DL1QLT",        "--mode", "1"};
  if (commitEach) arguments.push_back("--commit-each");
  const quillet::bench::ImportOutcome run = quillet::bench::RunQuillet(folder, arguments);
  return {
      run.seconds, run.peakMegabytes,
      run.exitedZero && run.output.find("Inserted to log: " + std::to_string(records)) != std::string::npos};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 1;
  std::vector<long> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::atol(argument.c_str()) > 0) {
      sizes.push_back(std::atol(argument.c_str()));
    } else {
      std::fprintf(stderr, "usage: import_commit_bench [--runs N] [RECORDS...]\n");
      return 2;
    }
  }
  if (sizes.empty()) sizes.push_back(100000);

  const fs::path folder = fs::temp_directory_path() / "quillet-commit-bench";
  fs::create_directories(folder);
  std::printf("%9s  %-13s %8s %10s %9s %8s %13s\n", "records", "commits", "file MB", "seconds", "records/s",
              "speedup", "peak RSS MB");
  for (const long records : sizes) {
    const fs::path source = folder / ("records-" + std::to_string(records) + ".adi");
    if (!fs::exists(source)) quillet::bench::WriteAdif(source, static_cast<int>(records));
    const double fileMegabytes = static_cast<double>(fs::file_size(source)) / 1e6;
    std::vector<double> seconds[2], peaks[2];
    for (int run = 0; run < runs; ++run) {
      for (int path = 0; path < 2; ++path) {
        const Outcome outcome = Import(folder, source, records, path == 0);
        if (!outcome.completed) {
          std::fprintf(stderr, "the import did not complete: see run.out and run.err in %s\n",
                       folder.c_str());
          return 1;
        }
        seconds[path].push_back(outcome.seconds);
        peaks[path].push_back(outcome.peakMegabytes);
      }
    }
    const double baseline = Median(seconds[0]);
    for (int path = 0; path < 2; ++path) {
      const double median = Median(seconds[path]);
      std::printf("%9ld  %-13s %8.1f %10.2f %9.0f %7.2fx %13.1f\n", records,
                  path == 0 ? "per statement" : "batched", fileMegabytes, median,
                  static_cast<double>(records) / median, baseline / median, Median(peaks[path]));
    }
    std::fflush(stdout);
  }
  return 0;
}
