// The cost of the progress line: the same 100,000-record import by the
// built quillet into a fresh database, once with both standard streams on a
// pseudo-terminal (progress drawn) and once on /dev/null (no progress), in
// one run. The counter terminal_cost_percent is the terminal run's extra
// time over the other's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 100000;

void WriteAdif(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "Generated for the progress benchmark\n<ADIF_VER:5>3.1.4 <EOH>\n";
  const char* bands[] = {"20M", "40M", "15M", "10M"};
  const char* modes[] = {"FT8", "CW", "SSB"};
  for (int i = 0; i < kRecords; ++i) {
    char call[16], date[16], time[16];
    std::snprintf(call, sizeof call, "K%dQ%05d", i % 10, i);
    std::snprintf(date, sizeof date, "2023%02d%02d", 1 + (i / 9000) % 12, 1 + i % 28);
    std::snprintf(time, sizeof time, "%02d%02d%02d", i % 24, (i / 24) % 60, (i / 1440) % 60);
    out << "<CALL:" << std::string(call).size() << ">" << call << " <QSO_DATE:8>" << date << " <TIME_ON:6>"
        << time << " <BAND:3>" << bands[i % 4] << " <MODE:" << std::string(modes[i % 3]).size() << ">"
        << modes[i % 3] << " <RST_SENT:2>59 <RST_RCVD:2>57 <OPERATOR:4>W1AW <EOR>\n";
  }
}

// Seconds of one import; on a terminal when terminal is set.
double TimedImport(const fs::path& folder, const fs::path& file, bool terminal) {
  fs::remove(folder / "bench.sqlite");
  fs::remove(folder / "bench.sqlite-wal");
  fs::remove(folder / "bench.sqlite-shm");
  const std::string program = QUILLET_BINARY_DIR "/bin/quillet";
  const std::string db = (folder / "bench.sqlite").string();
  const auto start = std::chrono::steady_clock::now();
  int master = -1;
  const pid_t child = terminal ? forkpty(&master, nullptr, nullptr, nullptr) : fork();
  if (child == 0) {
    if (!terminal) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
    }
    execl(program.c_str(), program.c_str(), "import", file.c_str(), "--db", db.c_str(), nullptr);
    _exit(127);
  }
  if (terminal) {
    char buffer[4096];
    while (read(master, buffer, sizeof buffer) > 0) {
    }
    close(master);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ProgressCostOnATerminal(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "quillet-progress-bench";
  fs::create_directories(folder);
  const fs::path file = folder / "records.adi";
  if (!fs::exists(file)) WriteAdif(file);
  double plain = 0, terminal = 0;
  for (auto _ : state) {
    plain += TimedImport(folder, file, false);
    terminal += TimedImport(folder, file, true);
  }
  state.counters["plain_s"] = plain / static_cast<double>(state.iterations());
  state.counters["terminal_s"] = terminal / static_cast<double>(state.iterations());
  state.counters["terminal_cost_percent"] = (terminal - plain) / plain * 100;
  fs::remove_all(folder);
}
BENCHMARK(BM_ProgressCostOnATerminal)->Iterations(2)->Unit(benchmark::kSecond);

}  // namespace
