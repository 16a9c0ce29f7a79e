// The host's console, its scan of ADIF files and its import report: what
// the user sees on the screen and in the summary, without the module.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "host/base/text.h"
#include "host/cli/adif_scan.h"
#include "host/cli/import_report.h"
#include "host/os/console.h"
#include "host/services/bstr.h"
#include "host/services/import_report_sink.h"
#include "tests/host/expect_same_scan.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

using namespace std::chrono_literals;

// A console over two temporary files, with a clock the test moves.
class ConsoleCapture {
 public:
  explicit ConsoleCapture(bool terminal)
      : out_(std::tmpfile(), &std::fclose),
        err_(std::tmpfile(), &std::fclose),
        console_(out_.get(), err_.get(), terminal, [this] { return now_; }) {}
  Console& Screen() { return console_; }
  void Advance(std::chrono::milliseconds step) { now_ += step; }
  std::string Out() { return Read(out_.get()); }
  std::string Err() { return Read(err_.get()); }
  // Every draw of the progress line starts with "\r[".
  int ProgressDraws() {
    const std::string err = Err();
    int draws = 0;
    for (std::size_t at = err.find("\r["); at != std::string::npos; at = err.find("\r[", at + 1)) ++draws;
    return draws;
  }

 private:
  static std::string Read(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
    return text;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out_, err_;
  std::chrono::steady_clock::time_point now_{};
  Console console_;
};

TEST(Console, PrintsTranscriptLinesOnlyWhenComplete) {
  ConsoleCapture capture(false);
  capture.Screen().Transcript("* Import: a.adi\n   Parsing ADIF data... ");
  EXPECT_EQ(capture.Out(), "* Import: a.adi\n");
  capture.Screen().Journal("Warning: ADIF errors found");
  capture.Screen().Transcript("found records: 3\n* Done. Elapsed time 00:00:00");
  EXPECT_EQ(capture.Out(), "* Import: a.adi\n   Parsing ADIF data... found records: 3\n");
  capture.Screen().FinishTranscript();
  EXPECT_EQ(capture.Out(),
            "* Import: a.adi\n   Parsing ADIF data... found records: 3\n* Done. Elapsed time 00:00:00\n");
  EXPECT_EQ(capture.Err(), "journal: Warning: ADIF errors found\n");
}

TEST(Console, DrawsNoProgressOffATerminal) {
  ConsoleCapture capture(false);
  for (int percent = 0; percent < 100; ++percent) capture.Screen().Progress(percent);
  capture.Screen().EndProgress();
  EXPECT_EQ(capture.Err(), "");
  EXPECT_EQ(capture.ProgressDraws(), 0);
}

TEST(Console, RedrawsProgressOnlyOnChangeAndAtMostTenTimesASecond) {
  ConsoleCapture capture(true);
  Console& screen = capture.Screen();
  screen.Progress(1);
  screen.Progress(1);
  EXPECT_EQ(capture.ProgressDraws(), 1);
  screen.Progress(2);  // too soon
  EXPECT_EQ(capture.ProgressDraws(), 1);
  capture.Advance(100ms);
  screen.Progress(2);
  EXPECT_EQ(capture.ProgressDraws(), 2);
  capture.Advance(100ms);
  screen.Progress(2);  // unchanged
  EXPECT_EQ(capture.ProgressDraws(), 2);
  EXPECT_EQ(capture.Err(), "\r[....................] 1%\r[....................] 2%");
}

TEST(Console, ClearsProgressBeforeAnyLineAndAtTheEnd) {
  ConsoleCapture capture(true);
  Console& screen = capture.Screen();
  screen.Progress(50);
  screen.Error("Error: disk full");
  const std::string clear = "\r" + std::string(26, ' ') + "\r";
  EXPECT_EQ(capture.Err(), "\r[##########..........] 50%" + clear + "Error: disk full\n");
  screen.Progress(60);  // the first draw after a line is never held back
  screen.EndProgress();
  EXPECT_TRUE(capture.Err().ends_with("60%" + clear)) << capture.Err();
}

struct QuietCase {
  bool quiet, shown;
  const char* out;
  const char* err;
};

TEST(Console, QuietKeepsErrorsOnlyAndAHiddenTranscriptIsStillKept) {
  constexpr QuietCase kCases[] = {
      {false, true, "line\n", "journal: j\nquillet: n\nE\n"},
      {true, true, "", "E\n"},
      {false, false, "", "journal: j\nquillet: n\nE\n"},
  };
  for (const QuietCase& row : kCases) {
    ConsoleCapture capture(false);
    capture.Screen().SetQuiet(row.quiet);
    capture.Screen().SetTranscriptShown(row.shown);
    capture.Screen().Transcript("line\n");
    capture.Screen().Journal("j");
    capture.Screen().Note("n");
    capture.Screen().Error("E");
    EXPECT_EQ(capture.Out(), row.out);
    EXPECT_EQ(capture.Err(), row.err);
    EXPECT_EQ(capture.Screen().TranscriptText(), "line\n");
  }
}

struct ScanCase {
  std::string bytes;
  long records;
  const char* mainOperator;
};

std::string Utf16Le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

std::string Utf16Be(const std::string& ascii) {
  std::string bytes = "\xFE\xFF";
  for (char c : ascii) bytes += std::string{'\0', c};
  return bytes;
}

// The file read in one piece: the scan of its whole text, against which
// the scans in smaller pieces are checked.
AdifScan ScanWholeFile(const std::string& path) {
  AdifScan scan;
  EXPECT_TRUE(ScanAdifFile(path, scan, static_cast<std::size_t>(std::filesystem::file_size(path)) + 1));
  return scan;
}

AdifScan ScanText(const std::string& text) {
  TempFolder folder;
  const std::string path = folder.File("text.adi");
  std::ofstream(path, std::ios::binary) << text;
  return ScanWholeFile(path);
}

TEST(AdifScan, CountsRecordsAndFindsTheMostFrequentOperator) {
  const std::string twoOperators =
      "<EOH><CALL:5>K1ABC<OPERATOR:5>Steve<EOR><CALL:5>K2ABC<OPERATOR:5>ki2d <EOR>"
      "<CALL:5>K3ABC<OPERATOR:4>KI2D<EOR>";
  const ScanCase kCases[] = {
      {twoOperators, 3, "KI2D"},
      {"<ADIF_VER:5>3.1.4 <OPERATOR:4>HEAD <EOH>\n<CALL:5>K1ABC <operator:6>dl1qlt <EOR>", 1, "DL1QLT"},
      {"<EOH><CALL:5>K1ABC<EOR><CALL:5>K2ABC<STATION_CALLSIGN:5>dk0qq<EOR>", 2, "DK0QQ"},
      {"<EOH><CALL:5>K1ABC<STATION_CALLSIGN:5>DK0QQ<OPERATOR:6>DL1QLT<EOR>", 1, "DL1QLT"},
      {"<call:5>K1ABC <operator:6:s>DL1QLT <eor>", 1, "DL1QLT"},  // no header: all records
      {"<EOH><CALL:5>K1ABC<OPERATOR:6>DL1QLT<EOR><CALL:5>K2ABC<OPERATOR:6>DL1QLT", 2, "DL1QLT"},
      {"no header at all, no records", 0, ""},
      {"", 0, ""},
      {std::string("\x00\x01\x02<\xFF\xFE\x80", 8), 0, ""},  // binary
      {"\xEF\xBB\xBF<EOH><CALL:5>K1ABC<OPERATOR:6>DL1QLT<EOR>", 1, "DL1QLT"},
      {Utf16Le("<EOH><CALL:5>K1ABC<OPERATOR:6>DL1QLT<EOR>"), 1, "DL1QLT"},
      {Utf16Be("<EOH><CALL:5>K1ABC<OPERATOR:6>DL1QLT<EOR>"), 1, "DL1QLT"},
      // Without a byte-order mark the first NUL ends the text, as it does for the module.
      {Utf16Le("<EOH><CALL:5>K1ABC<OPERATOR:6>DL1QLT<EOR>").substr(2), 0, ""},
      {"<EOH><CALL:5>K1ABC<EOR>", 1, ""},
  };
  TempFolder folder;
  const std::string path = folder.File("scan.adi");
  for (const ScanCase& row : kCases) {
    std::ofstream(path, std::ios::binary) << row.bytes;
    const AdifScan scan = ScanWholeFile(path);
    EXPECT_EQ(scan.records, row.records) << row.bytes;
    EXPECT_EQ(scan.MainOperator(), row.mainOperator) << row.bytes;
    for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1} << 20}) {
      AdifScan fromFile;
      ASSERT_TRUE(ScanAdifFile(path, fromFile, piece));
      ExpectSameScan(fromFile, scan, row.bytes + " in pieces of " + std::to_string(piece));
    }
  }
  AdifScan none;
  EXPECT_FALSE(ScanAdifFile(folder.File("missing.adi"), none));
}

// Files read a piece at a time give the scan of the whole text, whatever
// the pieces cut: marks, surrogate pairs, tags, values and terminators.
TEST(AdifScan, ReadInPiecesGivesTheScanOfTheWholeText) {
  static const std::string_view kPieces[] = {"<EOR>",
                                             "<eor>",
                                             "<EOH>",
                                             "<OPERATOR:4>KI2D",
                                             "<operator:5>dl1ab",
                                             "<STATION_CALLSIGN:5>DK0QQ",
                                             "<QSO_DATE:8>20240101",
                                             "<QSO_DATE:8>20240102",
                                             "<CALL:5>K1ABC",
                                             "<COMMENT:12>x<y>z",
                                             "<NAME:6>Andr\xC3\xA9",
                                             " ",
                                             "\r\n",
                                             "<",
                                             ">",
                                             "\xF0\x9F\x93\xBB",
                                             "<OPERATOR:99>"};
  TempFolder folder;
  const std::string path = folder.File("random.adi");
  std::mt19937 random(20261209);
  for (int round = 0; round < 1500 && !HasFailure(); ++round) {
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, 30)(random);
    for (int i = 0; i < count; ++i)
      text += kPieces[std::uniform_int_distribution<std::size_t>(0, std::size(kPieces) - 1)(random)];
    std::string bytes = text;
    if (round % 3 == 1) {
      bytes = "\xFF\xFE";
      for (const char16_t unit : Utf16(text))
        bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    std::ofstream(path, std::ios::binary) << bytes;
    const AdifScan whole = ScanWholeFile(path);
    AdifScan fromFile;
    const std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 17)(random);
    ASSERT_TRUE(ScanAdifFile(path, fromFile, piece));
    ExpectSameScan(fromFile, whole, text + " in pieces of " + std::to_string(piece));
  }
}

TEST(AdifScan, CountsEachOperatorMostFrequentFirst) {
  const AdifScan scan =
      ScanText("<EOH><OPERATOR:1>A<EOR><OPERATOR:1>B<EOR><OPERATOR:1>B<EOR><CALL:1>X<EOR><OPERATOR:1>C<EOR>");
  ASSERT_EQ(scan.operators.size(), 3u);
  EXPECT_EQ(scan.operators[0].call, "B");
  EXPECT_EQ(scan.operators[0].records, 2);
  EXPECT_EQ(scan.operators[1].call, "A");  // ties keep the file's order
  EXPECT_EQ(scan.RecordsOf("C"), 1);
  EXPECT_EQ(scan.RecordsOf(""), 1);
}

TEST(ImportReport, TakesTheCountsAndReasonsTheModuleReported) {
  ModuleReport module;
  module.found = 30;
  module.inserted = 27;
  module.updated = 5;
  module.withConfirmation = 4;
  module.matchedWithinWindow = 3;
  module.ignored = 1;
  module.errors = 1;
  module.failures = {{29, "Invalid argument to date encode"}};
  module.failureCount = 1;
  module.errorFilePath = "/tmp/a.err";
  ImportReport report;
  TakeModuleReport(report, module, "KI2D");
  const RunCounts& summary = report.counts;
  EXPECT_EQ(summary.found, 30);
  EXPECT_EQ(summary.inserted, 27);
  EXPECT_EQ(summary.updated, 5);
  EXPECT_EQ(summary.withConfirmation, 4);
  EXPECT_EQ(summary.matchedWithin, 3);
  EXPECT_EQ(summary.ignored, 1);
  EXPECT_EQ(summary.errors, 1);
  EXPECT_EQ(report.errorFilePath, "/tmp/a.err");
  ASSERT_EQ(summary.recordReasons.size(), 1u);
  EXPECT_EQ(summary.recordReasons[0], "Record 29: Invalid argument to date encode");

  // Past the ten it names, the transcript counts the rest; a run that took
  // every record wrote no error file.
  module.failureCount = 12;
  ImportReport many;
  TakeModuleReport(many, module, "KI2D");
  EXPECT_EQ(many.counts.recordReasons.back(), "and 2 more");
  module.ignored = module.errors = 0;
  ImportReport clean;
  TakeModuleReport(clean, module, "KI2D");
  EXPECT_FALSE(clean.errorFilePath.has_value());
}

// A record of another operator counts under its operator also when it is
// dated after the closing date.
TEST(ImportReport, NamesTheCausesOfIgnoredRecords) {
  ModuleReport module;
  module.ignoredRecords = {{"KI2D", true, 1}, {"STEVE", false, 1}, {"", false, 1}, {"STEVE", true, 2}};
  ImportReport report;
  TakeModuleReport(report, module, "KI2D");
  const IgnoredCauses& causes = report.ignored;
  EXPECT_EQ(causes.afterClosing, 1);
  EXPECT_EQ(causes.otherOperators.at("STEVE"), 3);
  EXPECT_EQ(causes.otherOperators.at(""), 1);
  EXPECT_EQ(causes.otherOperators.size(), 2u);
}

// The sink holds a report only once the module has ended it, and a new
// one replaces it whole.
TEST(ImportReport, TheSinkKeepsTheReportTheModuleEnded) {
  const Ref<ImportReportSink> sink = MakeRef<ImportReportSink>();
  const auto text = [](std::string_view utf8) {
    return std::unique_ptr<OLECHAR, decltype(&SysFreeString)>(NewBstr(utf8), &SysFreeString);
  };
  EXPECT_EQ(sink->ReportCounts(3, 1, 0, 0, 0, 1, 1), S_OK);
  EXPECT_EQ(sink->ReportIgnored(text("W1XYZ").get(), kTrue, 1), S_OK);
  EXPECT_EQ(sink->ReportFailure(2, text("QSO_DATE 2023131: Invalid argument to date encode").get()), S_OK);
  EXPECT_FALSE(sink->Received().has_value());
  EXPECT_EQ(sink->ReportEnd(1, text("/tmp/a.err").get()), S_OK);
  ASSERT_TRUE(sink->Received().has_value());
  const ModuleReport& report = *sink->Received();
  EXPECT_EQ(report.found, 3);
  ASSERT_EQ(report.ignoredRecords.size(), 1u);
  EXPECT_EQ(report.ignoredRecords[0].recordOperator, "W1XYZ");
  EXPECT_TRUE(report.ignoredRecords[0].outOfDate);
  ASSERT_EQ(report.failures.size(), 1u);
  EXPECT_EQ(report.failures[0].record, 2);
  EXPECT_EQ(report.failureCount, 1);
  EXPECT_EQ(report.errorFilePath, "/tmp/a.err");
  EXPECT_EQ(sink->ReportCounts(5, 5, 0, 0, 0, 0, 0), S_OK);
  EXPECT_EQ(sink->ReportEnd(0, text("/tmp/b.err").get()), S_OK);
  EXPECT_EQ(sink->Received()->found, 5);
  EXPECT_TRUE(sink->Received()->ignoredRecords.empty());
}

TEST(ImportReport, WritesOneJsonObject) {
  ImportReport report;
  report.file = "/tmp/a \"b\".adi";
  report.log = "MAIN";
  report.mode = 1;
  report.window = 2;
  report.completed = true;
  report.counts.found = 2;
  report.counts.withConfirmation = 3;
  report.counts.matchedWithin = 4;
  report.counts.inserted = 1;
  report.counts.ignored = 1;
  report.counts.recordReasons = {"Record 2: bad"};
  report.errorFilePath = "/tmp/a.err";
  report.elapsedMs = 12;
  report.ignored.otherOperators["STEVE"] = 1;
  EXPECT_EQ(ReportJson(report),
            "{\"file\":\"/tmp/a \\\"b\\\".adi\",\"log\":\"MAIN\",\"mode\":1,\"window\":2,\"completed\":true,"
            "\"counts\":{\"found\":2,\"inserted\":1,\"updated\":0,\"with_confirmation\":3,"
            "\"matched_within_window\":4,\"ignored\":1,\"errors\":0},"
            "\"error_file\":\"/tmp/a.err\",\"elapsed_ms\":12,\"record_reasons\":[\"Record 2: bad\"],"
            "\"ignored_causes\":{\"other_operator\":{\"STEVE\":1},\"after_closing_date\":0}}");
  report.errorFilePath.reset();
  EXPECT_NE(ReportJson(report).find("\"error_file\":null"), std::string::npos);
  EXPECT_EQ(JsonString(std::string("a\x01\n", 3)), "\"a\\u0001\\n\"");
}

}  // namespace
}  // namespace quillet::host
