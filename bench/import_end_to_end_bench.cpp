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

namespace {

namespace fs = std::filesystem;

constexpr int kFileRecords = 100000;
constexpr int kBaselineRecords = 2000;

std::string Field(const char* name, const std::string& value) {
  return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + value + " ";
}

struct Band {
  const char* name;
  double low, high;
};
constexpr Band kBands[] = {{"160M", 1.81, 2.0},  {"80M", 3.5, 3.8},     {"40M", 7.0, 7.2},
                           {"30M", 10.1, 10.15}, {"20M", 14.0, 14.35},  {"17M", 18.068, 18.168},
                           {"15M", 21.0, 21.45}, {"12M", 24.89, 24.99}, {"10M", 28.0, 29.7},
                           {"6M", 50.0, 52.0},   {"2M", 144.0, 146.0}};
constexpr const char* kModes[] = {"SSB", "CW", "FT8", "FT8", "FT8", "RTTY", "FM", "FT4"};
constexpr const char* kNames[] = {"Walt", "Remi",   "Nell",  "Aki",  "Heike", "Bernd",  "Ann O'Dell",
                                  "Urs",  "Sigrid", "Jirka", "Lars", "Mirko", "Pieter", "Dario"};
constexpr const char* kPrefixes[] = {"K",  "W",  "N",  "DL", "DK", "F",   "G",  "EA", "I",  "OH", "SP",
                                     "JA", "VK", "PY", "ZS", "ON", "HB9", "LA", "OK", "S5", "YO"};

std::string Callsign(std::mt19937& random, int index) {
  std::string call = kPrefixes[index % std::size(kPrefixes)];
  call += std::to_string(index % 10);
  for (int i = 0; i < 3; ++i) call += static_cast<char>('A' + (random() % 26));
  return call;
}

// One record per line, about 300 characters: a pool of stations worked
// again and again, mixed bands and modes, one QSO every one to three minutes.
void WriteAdif(const fs::path& path, int records) {
  std::mt19937 random(20240302);
  std::vector<std::string> calls;
  for (int i = 0; i < 8000; ++i) calls.push_back(Callsign(random, i));
  std::ofstream out(path, std::ios::binary);
  out << "Generated for the end-to-end benchmark\n"
      << Field("ADIF_VER", "3.1.4") << Field("PROGRAMID", "QuilletBench") << "<EOH>\n";
  long minute = 0;
  char text[64];
  for (int i = 0; i < records; ++i) {
    minute += 1 + random() % 3;
    const long day = minute / 1440;
    std::snprintf(text, sizeof text, "%04ld%02ld%02ld", 2020 + day / 336, 1 + day / 28 % 12, 1 + day % 28);
    const std::string date = text;
    std::snprintf(text, sizeof text, "%02ld%02ld%02d", minute / 60 % 24, minute % 60,
                  static_cast<int>(random() % 60));
    const std::string time = text;
    const Band& band = kBands[random() % std::size(kBands)];
    std::snprintf(text, sizeof text, "%.3f", band.low + (band.high - band.low) * (random() % 1000) / 1000.0);
    const std::string mode = kModes[random() % std::size(kModes)];
    const bool digital = mode.starts_with("FT");
    const std::string call = calls[std::min<std::size_t>(random() % 8000, random() % 8000)];
    out << Field("CALL", call) << Field("QSO_DATE", date) << Field("TIME_ON", time)
        << Field("BAND", band.name) << Field("FREQ", text) << Field("MODE", mode)
        << Field("RST_SENT", digital ? "-10" : "59") << Field("RST_RCVD", digital ? "-14" : "57")
        << Field("NAME", kNames[random() % std::size(kNames)])
        << Field("QTH", "Town " + std::to_string(random() % 500))
        << Field("GRIDSQUARE", std::string(1, static_cast<char>('A' + random() % 18)) + "N" +
                                   std::to_string(random() % 10) + std::to_string(random() % 10))
        << Field("CQZ", std::to_string(1 + random() % 40)) << Field("ITUZ", std::to_string(1 + random() % 75))
        << Field("QSL_SENT", random() % 2 ? "Y" : "N") << Field("QSL_RCVD", random() % 4 ? "N" : "Y")
        << Field("LOTW_QSL_SENT", random() % 2 ? "Y" : "N") << Field("COMMENT", "tnx fer QSO, 73")
        << Field("STATION_CALLSIGN", "DL1QLT") << Field("OPERATOR", "DL1QLT") << "<EOR>\n";
  }
}

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
      const std::string dictionaries = "cd '" + folder.string() + "' && '" QUILLET_BINARY_DIR
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
