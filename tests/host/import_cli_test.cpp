// quillet as an operator meets it: logs and operators, imports that cannot
// start, the command-line conventions, and the transcript on a terminal.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "host/base/text.h"
#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

const fs::path kExample = fs::path(QUILLET_SOURCE_DIR) / "examples" / "dl1qlt-weekend.adi";
const fs::path kSamples = QUILLET_SAMPLE_DATA;

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The operator of one record string, as the host reads it: OPERATOR, else
// STATION_CALLSIGN, trimmed and upper-cased.
std::string RecordOperator(const std::string& record) {
  for (const char* name : {"OPERATOR", "STATION_CALLSIGN"}) {
    std::smatch match;
    const std::regex field("<" + std::string(name) + ":(\\d+)[^>]*>", std::regex::icase);
    if (std::regex_search(record, match, field)) {
      const std::string value =
          record.substr(static_cast<std::size_t>(match.position(0) + match.length(0)), std::stoul(match[1]));
      const std::string call = UpperAscii(TrimText(value));
      if (!call.empty()) return call;
    }
  }
  return {};
}

class ImportCli : public ::testing::Test {
 protected:
  fs::path Copy(const fs::path& source) {
    const fs::path target = folder_.Path() / source.filename();
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    return target;
  }
  QuilletRun Quillet(const std::string& arguments) { return RunQuillet(folder_.Path(), arguments); }
  fs::path Database() const { return folder_.Path() / "quillet.sqlite"; }

  TempFolder folder_;
};

// Without --operator, every record of the file's main operator is taken:
// only the other operators' records are ignored. A file whose records name
// no operator asks for an explicit --operator "" first.
TEST_F(ImportCli, EverySampleFileImportsItsMainOperatorsQsosWithoutOperatorOption) {
  std::vector<fs::path> files = {kExample};
  for (const auto& entry : fs::directory_iterator(kSamples)) {
    if (entry.path().extension() == ".adi") files.push_back(entry.path());
  }
  ASSERT_GE(files.size(), 9u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    fs::remove(Database());
    const fs::path source = Copy(file);
    std::map<std::string, long> operators;
    long blank = 0;
    for (const std::string& record : RecordStrings(source)) {
      if (IsBlankRecord(record)) {
        ++blank;
      } else {
        ++operators[RecordOperator(record)];
      }
    }
    const auto main = std::max_element(operators.begin(), operators.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    ASSERT_NE(main, operators.end());
    QuilletRun run = Quillet("import " + Quoted(source));
    if (main->first.empty()) {
      EXPECT_EQ(run.exitCode, 2) << run.err;
      EXPECT_FALSE(fs::exists(Database()));
      run = Quillet("import " + Quoted(source) + " --operator ''");
    } else {
      EXPECT_NE(run.err.find("operator " + main->first + " taken from"), std::string::npos) << run.err;
    }
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // A record the module cannot convert counts as an error whoever logged it.
    const TranscriptCounts counts = ReadCounts(run.out);
    EXPECT_GE(counts.inserted + counts.updated + counts.errors, main->second) << run.out;
    long others = 0;
    for (const auto& [call, records] : operators) others += call == main->first ? 0 : records;
    EXPECT_LE(counts.ignored, others) << run.out;
    EXPECT_EQ(DumpTable(Database(), "SELECT OPERATOR FROM LOGBOOK"), std::vector<std::string>{main->first});
  }
}

TEST_F(ImportCli, AUtf16FileGivesTheLogItsOperator) {
  std::string utf16 = "\xFF\xFE";
  for (char c : ReadFile(kExample)) utf16 += std::string{c, '\0'};
  const fs::path source = folder_.Path() / "utf16.adi";
  WriteFile(source, utf16);
  const QuilletRun run = Quillet("import " + Quoted(source));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(DumpTable(Database(), "SELECT OPERATOR FROM LOGBOOK"), std::vector<std::string>{"DL1QLT"});
  EXPECT_EQ(ReadCounts(run.out).inserted, 27) << run.out;
}

struct RefusedCase {
  const char* name;
  std::string bytes;
  const char* options;
  int exitCode;
  const char* message;
};

// None of these leaves a database (or a settings file) behind.
TEST_F(ImportCli, AnImportThatCannotStartCreatesNoDatabase) {
  const std::string noOperator = "<EOH><CALL:5>K1ABC<QSO_DATE:8>20240302<TIME_ON:4>1200<EOR>";
  const RefusedCase kCases[] = {
      {"notes.txt", "just some text\n", "", 1, "no ADIF records found in "},
      {"empty.adi", "", "", 1, "no ADIF records found in "},
      {"binary.adi",
       std::string("\x7F"
                   "ELF\x02\x01\x01\x00\x00\x00<\x01\x02",
                   14),
       "", 1, "no ADIF records found in "},
      {"no-operator.adi", noOperator, "", 2,
       "names an operator (OPERATOR or STATION_CALLSIGN); to import it"},
      {"mode2.adi", ReadFile(kExample), "--mode 2", 1, "quillet dict import"},
      {"bad-mode.adi", ReadFile(kExample), "--mode 7", 2, "--mode"},
  };
  for (const RefusedCase& row : kCases) {
    SCOPED_TRACE(row.name);
    const fs::path source = folder_.Path() / row.name;
    WriteFile(source, row.bytes);
    const QuilletRun run = Quillet("import " + Quoted(source) + " " + row.options);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Database()));
    EXPECT_FALSE(fs::exists(folder_.Path() / "quillet.ini"));
  }
}

TEST_F(ImportCli, ModeTwoWithEmptyDictionariesAddsOneLineAfterTheModulesMessage) {
  ASSERT_EQ(Quillet("log create MAIN --operator DL1QLT").exitCode, 0);
  const QuilletRun run = Quillet("import " + Quoted(Copy(kExample)) + " --mode 2");
  EXPECT_EQ(run.exitCode, 1);
  const std::size_t message = run.err.find("Missing information");
  const std::size_t hint =
      run.err.find("the dictionaries are empty; fill them from the country file with: quillet dict import");
  ASSERT_NE(message, std::string::npos) << run.err;
  ASSERT_NE(hint, std::string::npos) << run.err;
  EXPECT_LT(message, hint);
}

// A whole file on one line, records right after <EOH> and after each
// other's <EOR>; the run's file and mode reach the shared settings file.
TEST_F(ImportCli, AFileOnOneLineImportsEveryRecord) {
  const std::string record = "<QSO_DATE:8>20240301<BAND:3>20M<MODE:2>CW<OPERATOR:6>DL1QLT<EOR>";
  const fs::path source = folder_.Path() / "one-line.adi";
  WriteFile(source, "<ADIF_VER:5>3.1.4<EOH><CALL:5>K2AAA<TIME_ON:4>1200" + record +
                        "<CALL:5>K2BBB<TIME_ON:4>1300" + record);
  const QuilletRun run = Quillet("import " + Quoted(source) + " --mode 0");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadCounts(run.out).inserted, 2) << run.out;
  EXPECT_NE(run.out.find("* ADIF Version: 3.1.4"), std::string::npos) << run.out;
  EXPECT_EQ(DumpTable(Database(), "SELECT OMCALL FROM LOGS ORDER BY OMCALL"),
            (std::vector<std::string>{"K2AAA", "K2BBB"}));
  const std::string settings = ReadFile(folder_.Path() / "quillet.ini");
  EXPECT_NE(settings.find("ADIF=" + source.string()), std::string::npos) << settings;
  EXPECT_NE(settings.find("Corr=0"), std::string::npos) << settings;
}

TEST_F(ImportCli, AFifoIsRefusedWithAMessage) {
  const fs::path fifo = folder_.Path() / "pipe.adi";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const QuilletRun run = Quillet("import " + Quoted(fifo));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("is not a regular file"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Database()));
}

TEST_F(ImportCli, OptionsThatDisagreeWithTheLogAreAUsageErrorNamingLogSet) {
  const fs::path source = Copy(kExample);
  ASSERT_EQ(Quillet("import " + Quoted(source)).exitCode, 0);
  const char* kOptions[] = {"--operator KI2D", "--operator ''", "--closing 2024-01-01"};
  for (const char* options : kOptions) {
    const QuilletRun run = Quillet("import " + Quoted(source) + " " + options);
    EXPECT_EQ(run.exitCode, 2) << options;
    EXPECT_NE(run.err.find("quillet log set MAIN"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << options;
  }
  EXPECT_EQ(Quillet("import " + Quoted(source) + " --operator dl1qlt --closing 2099-12-31").exitCode, 0);
}

TEST_F(ImportCli, LogSetRenameShowAndDelete) {
  ASSERT_EQ(Quillet("import " + Quoted(Copy(kExample))).exitCode, 0);
  EXPECT_EQ(Quillet("log set MAIN").exitCode, 2);
  EXPECT_EQ(Quillet("log set NOPE --operator K1ABC").exitCode, 1);
  const QuilletRun set = Quillet("log set MAIN --closing 2030-01-01 --rename WEEKEND");
  EXPECT_EQ(set.exitCode, 0) << set.err;
  const QuilletRun show = Quillet("log show WEEKEND");
  EXPECT_EQ(show.exitCode, 0) << show.err;
  EXPECT_NE(show.out.find("QSOs: 27"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("dates: 2024-03-02 to 2024-03-03"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("20M"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("FT8"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("LOG.EXPIRE=2030-01-01"), std::string::npos) << show.out;

  const QuilletRun refused = Quillet("log delete WEEKEND");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("--with-qsos"), std::string::npos) << refused.err;
  EXPECT_EQ(Quillet("log delete WEEKEND --with-qsos").exitCode, 0);
  EXPECT_EQ(DumpTable(Database(), "SELECT COUNT(*) FROM LOGS"), std::vector<std::string>{"0"});
  EXPECT_EQ(DumpTable(Database(), "SELECT COUNT(*) FROM LOGBOOK"), std::vector<std::string>{"0"});
}

TEST_F(ImportCli, CommandsThatOnlyReadCreateNoDatabase) {
  for (const char* command :
       {"log list --db typo.sqlite", "log show MAIN --db typo.sqlite", "dict show K1ABC --db typo.sqlite"}) {
    const QuilletRun run = Quillet(command);
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_NE(run.err.find("no log database typo.sqlite"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder_.Path() / "typo.sqlite")) << command;
  }
}

TEST_F(ImportCli, VersionHelpAndExitStatuses) {
  const QuilletRun version = Quillet("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.starts_with("quillet " QUILLET_PROJECT_VERSION "\n")) << version.out;
  EXPECT_NE(version.out.find("module Quillet.ext 1.04.019"), std::string::npos) << version.out;
  EXPECT_NE(version.out.find("SQLite 3."), std::string::npos) << version.out;
  EXPECT_NE(version.out.find("PCRE2 10."), std::string::npos) << version.out;

  const QuilletRun help = Quillet("help import");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: quillet import"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("3 with --strict"), std::string::npos) << help.out;
  EXPECT_EQ(Quillet("help nosuch").exitCode, 2);
  EXPECT_EQ(Quillet("").exitCode, 2);
  EXPECT_NE(Quillet("--help").out.find("Exit status: 0"), std::string::npos);
}

TEST_F(ImportCli, QuietJsonAndStrict) {
  const fs::path source = Copy(kExample);
  const QuilletRun quiet = Quillet("import " + Quoted(source) + " --quiet");
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");

  const QuilletRun json = Quillet("import " + Quoted(source) + " --json --strict");
  EXPECT_EQ(json.exitCode, 3);
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1) << json.out;
  for (const char* part : {"{\"file\":", "\"log\":\"MAIN\"", "\"mode\":1", "\"updated\":28", "\"ignored\":1",
                           "\"errors\":1", "dl1qlt-weekend.err\"", "\"elapsed_ms\":",
                           "\"record_reasons\":[\"Record 29: ", "\"other_operator\":{\"DK9QQA\":1}"}) {
    EXPECT_NE(json.out.find(part), std::string::npos) << part << " in " << json.out;
  }
}

// What a terminal shows at the end for the bytes written to it: carriage
// returns go back to the start of the line, and characters overwrite.
std::vector<std::string> Screen(const std::string& bytes) {
  std::vector<std::string> lines(1);
  std::size_t column = 0;
  for (const char c : bytes) {
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      lines.emplace_back();
      column = 0;
    } else {
      std::string& line = lines.back();
      if (line.size() <= column) line.resize(column + 1, ' ');
      line[column++] = c;
    }
  }
  for (std::string& line : lines) line.erase(line.find_last_not_of(' ') + 1);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// quillet on a pseudo-terminal (both standard streams), all it wrote.
std::string RunOnTerminal(const fs::path& folder, const std::vector<std::string>& arguments) {
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    static std::string program = QUILLET_BINARY_DIR "/bin/quillet";
    argv.push_back(program.data());
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, static_cast<std::size_t>(n));
  close(master);
  int status = 0;
  waitpid(child, &status, 0);
  return bytes;
}

std::string GeneratedLog(int records) {
  std::string adif = "generated\n<ADIF_VER:5>3.1.4 <EOH>\n";
  for (int i = 0; i < records; ++i) {
    char call[16], time[8];
    std::snprintf(call, sizeof call, "K%dQ%04d", i % 10, i);
    std::snprintf(time, sizeof time, "%02d%02d%02d", (i / 3600) % 24, (i / 60) % 60, i % 60);
    adif += "<CALL:" + std::to_string(std::string(call).size()) + ">" + call +
            " <QSO_DATE:8>20240302 <TIME_ON:6>" + time +
            " <BAND:3>20M <MODE:3>FT8 <FREQ:6>14.074 <OPERATOR:6>DL1QLT <EOR>\n";
  }
  return adif;
}

TEST_F(ImportCli, OnATerminalTheTranscriptEndsIntactWithNoProgressResidue) {
  const fs::path source = folder_.Path() / "generated.adi";
  WriteFile(source, GeneratedLog(3000));
  const std::string bytes = RunOnTerminal(folder_.Path(), {"import", source.string()});
  EXPECT_NE(bytes.find("%\r"), std::string::npos) << "no progress was drawn";
  const std::vector<std::string> screen = Screen(bytes);
  const std::vector<std::string> expected = {
      "quillet: operator DL1QLT taken from " + source.string() + " (3000 of 3000 records)",
      "* Import: generated.adi from " + folder_.Path().string(),
      "* ADIF Version: 3.1.4",
      "   Parsing ADIF data... found records: 3000",
      "      Inserted to log: 3000",
  };
  ASSERT_GE(screen.size(), expected.size() + 3);
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(screen[i], expected[i]);
  for (const std::string& line : screen) {
    EXPECT_EQ(line.find('%'), std::string::npos) << line;
    EXPECT_FALSE(line.starts_with("[")) << line;
  }
  EXPECT_TRUE(std::any_of(screen.begin(), screen.end(),
                          [](const std::string& line) { return line.starts_with("* Done. Elapsed time "); }));
  EXPECT_TRUE(std::any_of(screen.begin(), screen.end(), [](const std::string& line) {
    return line.starts_with("journal: Exec: ") && line.find(" processed (") != std::string::npos;
  }));
}

}  // namespace
}  // namespace quillet::host
