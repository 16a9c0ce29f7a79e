// quillet end to end: a generated ADIF file of realistic records imported
// into a fresh database by the built quillet and Quillet.ext, as a separate
// process, in modes 1 and 0 with the host's own durability (WAL journal,
// synchronous=NORMAL), against SQLite's default rollback journal with full
// sync as the baseline. Counters: records per second, and the peak resident
// memory of the process (from /usr/bin/time -v) against the file's size.
//
// The baseline syncs the disk several times per statement, so it imports a
// prefix of the file: its rate per record is what is compared.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "generated_adif.h"

namespace {

using quillet::bench::WriteAdif;

namespace fs = std::filesystem;

constexpr int kFileRecords = 100000;
constexpr int kBaselineRecords = 2000;

fs::path Folder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / "quillet-import-bench";
    fs::create_directories(path);
    WriteAdif(path / "records.adi", kFileRecords);
    WriteAdif(path / "baseline.adi", kBaselineRecords);
    return path;
  }();
  return folder;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Peak resident memory in kilobytes, from the report of /usr/bin/time -v.
double PeakKilobytes(const std::string& report) {
  const std::string label = "Maximum resident set size (kbytes): ";
  const std::size_t at = report.find(label);
  return at == std::string::npos ? 0 : std::atof(report.c_str() + at + label.size());
}

void BM_Import(benchmark::State& state, const char* file, int records, int mode, const char* journal) {
  const fs::path folder = Folder();
  const fs::path source = folder / file;
  const bool timed = fs::exists("/usr/bin/time");
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* name : {"bench.sqlite", "bench.sqlite-wal", "bench.sqlite-shm", "bench.ini"}) {
      fs::remove(folder / name);
    }
    // Mode 2 fills fields from the reference dictionaries: the full country file.
    if (mode == 2) {
      const std::string dictionaries = "cd '" + folder.string() +
                                       "' && '" QUILLET_BINARY_DIR
                                       "/bin/quillet' dict import --db bench.sqlite >dict.out 2>&1";
      if (std::system(dictionaries.c_str()) != 0) state.SkipWithError("quillet dict import failed");
    }
    const std::string command = "cd '" + folder.string() + "' && " +
                                (timed ? std::string("/usr/bin/time -v -o time.txt ") : std::string()) +
                                "'" QUILLET_BINARY_DIR "/bin/quillet' import '" + source.string() +
                                "' --db bench.sqlite --operator DL1QLT --mode " + std::to_string(mode) +
                                " --journal " + journal + " >run.out 2>run.err";
    state.ResumeTiming();
    const int status = std::system(command.c_str());
    state.PauseTiming();
    if (status != 0 || ReadFile(folder / "run.out").find("Inserted to log: " + std::to_string(records)) ==
                           std::string::npos) {
      state.SkipWithError("the import did not complete: see run.out and run.err in the bench folder");
    }
    if (timed) peak = PeakKilobytes(ReadFile(folder / "time.txt"));
    state.ResumeTiming();
  }
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(records) * state.iterations(), benchmark::Counter::kIsRate);
  const double fileBytes = static_cast<double>(fs::file_size(source));
  state.counters["file_MB"] = fileBytes / 1e6;
  state.counters["peak_rss_MB"] = peak * 1024 / 1e6;
  state.counters["rss_per_file_size"] = peak * 1024 / fileBytes;
}

BENCHMARK_CAPTURE(BM_Import, mode1_wal, "records.adi", kFileRecords, 1, "wal")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Import, mode2_wal_country_file, "records.adi", kFileRecords, 2, "wal")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Import, mode0_wal, "records.adi", kFileRecords, 0, "wal")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Import, mode1_rollback_full_baseline, "baseline.adi", kBaselineRecords, 1,
                  "rollback-full")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
