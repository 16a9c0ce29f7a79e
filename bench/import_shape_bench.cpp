// Files of unusual shape against ordinary ones of the same size, each
// imported into a fresh database by the built quillet as a process of its
// own. Reports seconds, the ratio to the ordinary file and the peak
// resident memory of each import.
//
//   import_shape_bench [--runs N] [--records N] [--megabytes N]
//
// Operators: --records records (default 100000) each logged by a different
// operator, against as many logged by one; the log's operator is neither,
// so every record is ignored and counted by its operator.
// Long line: one record whose COMMENT of --megabytes MB (default 200) fills
// one line, against ordinary records of about the same total size.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "generated_adif.h"
#include "import_process.h"

namespace {

namespace fs = std::filesystem;
using quillet::bench::Field;

constexpr const char* kHeader = "Generated for the shape benchmark\n<ADIF_VER:5>3.1.4 <EOH>\n";

void WriteOperators(const fs::path& path, long records, bool distinct) {
  std::ofstream out(path, std::ios::binary);
  out << kHeader;
  for (long i = 0; i < records; ++i) {
    const std::string minute = std::to_string(i % 1440 / 60 * 100 + i % 60 + 10000).substr(1);
    out << Field("CALL", "K" + std::to_string(i % 10) + "AB") << Field("QSO_DATE", "20240101")
        << Field("TIME_ON", minute) << Field("BAND", "20M") << Field("MODE", "CW")
        << Field("OPERATOR", distinct ? "X" + std::to_string(i) + "Y" : "X1Y") << "<EOR>\n";
  }
}

void WriteLongLine(const fs::path& path, long megabytes) {
  std::ofstream out(path, std::ios::binary);
  const long characters = megabytes * 1000000;
  out << kHeader << Field("CALL", "K2AAA") << Field("QSO_DATE", "20240101") << Field("TIME_ON", "1200")
      << Field("BAND", "20M") << Field("MODE", "SSB") << "<COMMENT:" << characters << ">";
  const std::string block(1000000, 'x');
  for (long i = 0; i < megabytes; ++i) out << block;
  out << "<EOR>\n";
}

struct Measured {
  double seconds = 0;
  double peakMegabytes = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The median of runs imports of source into a fresh database; exits when
// one does not complete.
Measured Measure(const fs::path& folder, const fs::path& source, int runs) {
  std::vector<double> seconds, peaks;
  for (int run = 0; run < runs; ++run) {
    quillet::bench::RemoveDatabase(folder, "bench.sqlite");
    const auto outcome = quillet::bench::RunQuillet(
        folder, {"import", source.string(), "--db", "bench.sqlite", "--operator", "DL1QLT", "--quiet"});
    if (!outcome.exitedZero) {
      std::fprintf(stderr, "the import of %s did not complete: see run.err in %s\n", source.c_str(),
                   folder.c_str());
      std::exit(1);
    }
    seconds.push_back(outcome.seconds);
    peaks.push_back(outcome.peakMegabytes);
  }
  return {Median(seconds), Median(peaks)};
}

void Compare(const fs::path& folder, const char* name, const fs::path& shaped, const fs::path& ordinary,
             int runs) {
  const Measured base = Measure(folder, ordinary, runs);
  const Measured measured = Measure(folder, shaped, runs);
  for (const auto& [label, path, m] :
       {std::tuple{"ordinary", ordinary, base}, std::tuple{name, shaped, measured}}) {
    std::printf("%-22s %9.1f %9.2f %7.2fx %12.1f\n", label, static_cast<double>(fs::file_size(path)) / 1e6,
                m.seconds, m.seconds / base.seconds, m.peakMegabytes);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 1;
  long records = 100000, megabytes = 200;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const long value = std::atol(argv[i + 1]);
    if (value <= 0) break;
    if (option == "--runs") runs = static_cast<int>(value);
    if (option == "--records") records = value;
    if (option == "--megabytes") megabytes = value;
  }
  if (argc % 2 == 0) {
    std::fprintf(stderr, "usage: import_shape_bench [--runs N] [--records N] [--megabytes N]\n");
    return 2;
  }
  const fs::path folder = fs::temp_directory_path() / "quillet-shape-bench";
  fs::create_directories(folder);
  const std::string count = std::to_string(records), size = std::to_string(megabytes);
  const fs::path distinct = folder / ("operators-distinct-" + count + ".adi");
  const fs::path shared = folder / ("operators-one-" + count + ".adi");
  const fs::path longLine = folder / ("long-line-" + size + "MB.adi");
  const fs::path ordinary = folder / ("ordinary-" + size + "MB.adi");
  if (!fs::exists(distinct)) WriteOperators(distinct, records, true);
  if (!fs::exists(shared)) WriteOperators(shared, records, false);
  if (!fs::exists(longLine)) WriteLongLine(longLine, megabytes);
  // The generated records take about 300 bytes each.
  if (!fs::exists(ordinary)) quillet::bench::WriteAdif(ordinary, static_cast<int>(megabytes * 1000000 / 300));

  std::printf("%-22s %9s %9s %8s %12s\n", "file", "MB", "seconds", "ratio", "peak RSS MB");
  Compare(folder, "distinct operators", distinct, shared, runs);
  Compare(folder, "one-line value", longLine, ordinary, runs);
  return 0;
}
