// quillet import --dry-run: the report of the real import, and nothing
// changed, on the operators' sample files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "tests/host/quillet_runner.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = QUILLET_SAMPLE_DATA;

std::optional<std::string> Content(const fs::path& path) {
  if (!fs::exists(path)) return std::nullopt;
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// The report without its one value that differs from run to run.
std::string Report(const QuilletRun& run) {
  return std::regex_replace(run.out, std::regex("\"elapsed_ms\":[0-9]+"), "\"elapsed_ms\":0");
}

class DryRunEndToEnd : public ::testing::Test {
 protected:
  QuilletRun Import(const fs::path& source, const std::string& options) {
    return RunQuillet(folder_.Path(), "import '" + source.string() + "' --json " + options);
  }
  fs::path Path(const std::string& name) const { return folder_.Path() / name; }

  TempFolder folder_;
};

// Into a new database and into one that holds the file already, in modes 0
// and 1: each dry run reports what the real import that follows reports,
// and leaves the database, the settings and the error file as they were.
TEST_F(DryRunEndToEnd, ReportsTheRealImportAndChangesNothing) {
  for (const auto& entry : fs::directory_iterator(kSamples)) {
    if (entry.path().extension() != ".adi") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const fs::path source = Path(entry.path().filename().string());
    fs::copy_file(entry.path(), source, fs::copy_options::overwrite_existing);
    fs::path errorFile = source;
    errorFile.replace_extension(".err");
    fs::remove(errorFile);
    fs::remove(Path("quillet.sqlite"));
    const std::string options = OperatorOptionFor(source);

    const QuilletRun first = Import(source, "--dry-run " + options);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_FALSE(fs::exists(Path("quillet.sqlite")));
    EXPECT_FALSE(fs::exists(errorFile));
    EXPECT_EQ(Report(Import(source, options)), Report(first));

    for (const char* mode : {"--mode 0", "--mode 1 --window 2"}) {
      const auto database = Content(Path("quillet.sqlite")), settings = Content(Path("quillet.ini"));
      const auto errors = Content(errorFile);
      const QuilletRun dry = Import(source, std::string("--dry-run --err-file dry.err ") + mode);
      ASSERT_EQ(dry.exitCode, 0) << dry.err;
      EXPECT_EQ(Content(Path("quillet.sqlite")), database);
      EXPECT_EQ(Content(Path("quillet.ini")), settings);
      EXPECT_EQ(Content(errorFile), errors);
      EXPECT_EQ(Report(Import(source, mode)), Report(dry));
      EXPECT_EQ(Content(Path("dry.err")).has_value(), errors.has_value());
      fs::remove(Path("dry.err"));
    }
  }
}

TEST_F(DryRunEndToEnd, TheErrorFileGoesToStandardError) {
  const fs::path source = Path("log.adi");
  std::ofstream(source)
      << "<CALL:5>W2XYZ<QSO_DATE:8>20241302<TIME_ON:4>1240<MODE:2>CW<OPERATOR:6>DL1QLT<EOR>\n";
  const QuilletRun dry = RunQuillet(folder_.Path(), "import log.adi --dry-run");
  EXPECT_EQ(dry.exitCode, 0);
  EXPECT_NE(dry.err.find("<QSO_DATE:8>20241302"), std::string::npos) << dry.err;
  EXPECT_NE(dry.err.find("quillet: dry run: nothing was changed; the log MAIN would be created"),
            std::string::npos)
      << dry.err;
  EXPECT_FALSE(fs::exists(Path("log.err")));
}

}  // namespace
}  // namespace quillet::host
