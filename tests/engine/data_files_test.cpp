// Whole runs over the real ADIF files under tests/data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "adif/adif_reader.h"
#include "engine/error_file.h"
#include "engine/fake_port.h"
#include "engine/import_engine.h"
#include "engine/source_lines.h"
#include "refdata/dictionaries.h"
#include "runtime/text.h"
#include "support/adif_text.h"
#include "support/fake_host.h"
#include "support/source_file_lines.h"

namespace quillet::testing {
namespace {

std::vector<std::filesystem::path> DataFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(QUILLET_TEST_DATA)) {
    if (entry.path().extension() == ".adi") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TAdifData Parse(std::u16string_view path) {
  std::vector<std::u16string> lines;
  EXPECT_TRUE(LoadSourceLines(path, lines));
  TAdifData data;
  ParseAdifText(data, lines);
  return data;
}

// The operator of the file's first record that names one, so that the
// run has records to take.
std::u16string FirstOperator(const TAdifData& data) {
  for (const std::u16string& record : data.Records) {
    std::u16string op = GetAdifField(u"OPERATOR", 20, record);
    if (op.empty()) op = GetAdifField(u"STATION_CALLSIGN", 20, record);
    if (!op.empty()) return UpperAscii(op);
  }
  return {};
}

// An end-of-file marker after the last record: no terminator, no data specifier.
bool IsMarker(std::u16string_view record) {
  return record.find(u"<EOR>") == std::u16string_view::npos && record.find(u':') == std::u16string_view::npos;
}

// The number on the summary line that begins with label; 0 when absent.
int SummaryCount(std::u16string_view memo, std::u16string_view label) {
  const std::size_t at = memo.find(label);
  if (at == std::u16string_view::npos) return 0;
  int count = 0;
  for (std::size_t i = at + label.size(); i < memo.size() && memo[i] >= u'0' && memo[i] <= u'9'; ++i)
    count = count * 10 + (memo[i] - u'0');
  return count;
}

// Stores the key condition of every inserted row and answers counts from them.
class StoringHost {
 public:
  StoringHost() {
    host.OnRecordCountWhere([this](std::u16string_view, std::u16string_view condition) {
      lastCondition_ = condition;
      return static_cast<std::int32_t>(stored.count(lastCondition_));
    });
    host.OnExecuteSQL([this](std::u16string_view sql) {
      if (sql.substr(0, 6) == u"INSERT") {
        stored.insert(lastCondition_);
      } else {
        const std::size_t where = sql.find(u"\r\nWHERE ");
        updatedKeys.emplace(sql.substr(where + 8, sql.size() - where - 9));
      }
      return 1;
    });
  }

  FakeHost host;
  std::set<std::u16string> stored;
  std::set<std::u16string> updatedKeys;

 private:
  std::u16string lastCondition_;
};

TEST(DataFiles, EveryRecordIsCountedOnceAndReimportOnlyUpdates) {
  const TDateTime kCloseDate = EncodeDate(2022, 6, 30);  // later QSOs are ignored
  const auto files = DataFiles();
  ASSERT_EQ(files.size(), 8u);
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    TempFolder folder;
    const std::u16string source = folder.File(file.filename().string());
    std::filesystem::copy_file(file, std::filesystem::path(Utf16ToUtf8(source)));
    const TAdifData data = Parse(source);
    const std::u16string logOperator = FirstOperator(data);
    std::size_t blanks = 0;
    for (const std::u16string& record : data.Records) blanks += Trim(record).empty() || IsMarker(record);

    StoringHost host;
    FakePort port;
    port.mode = CorrectionMode::Format;
    port.source = source;
    ImportEngine engine(port, host.host.Kernel(), host.host.Server());
    const Dictionaries dictionaries;
    const TargetLog log{u"Log", kCloseDate, logOperator};
    ASSERT_TRUE(engine.RunImport(source, log, dictionaries, u"<EOH>"));
    const int inserted = SummaryCount(port.memo, u"Inserted to log: ");
    const int updated = SummaryCount(port.memo, u"Updated in log: ");
    const int ignored = SummaryCount(port.memo, u"Ignored: ");
    const int errors = SummaryCount(port.memo, u"Errors found: ");
    EXPECT_EQ(inserted + updated + ignored + errors + blanks, data.Records.size());
    if (file.filename() == "lotw-report-inline-comments.adi") {
      EXPECT_EQ(errors, 0);  // its <APP_LoTW_EOF> is no record
    }
    EXPECT_EQ(static_cast<std::size_t>(inserted), host.stored.size());

    // Every rejected record is in the error file, in order.
    std::vector<std::u16string> rejected;
    if (ignored + errors > 0) {
      ASSERT_TRUE(LoadSourceLines(ErrorFilePathOf(source), rejected));
      rejected.erase(rejected.begin());  // the header
    }
    EXPECT_EQ(rejected.size(), static_cast<std::size_t>(ignored + errors));
    auto next = data.Records.begin();
    for (const std::u16string& record : rejected) {
      next = std::find(next, data.Records.end(), record);
      EXPECT_NE(next, data.Records.end());
    }

    host.updatedKeys.clear();
    port.memo.clear();
    const std::set<std::u16string> storedBefore = host.stored;
    ASSERT_TRUE(engine.RunImport(source, log, dictionaries, u"<EOH>"));
    EXPECT_EQ(SummaryCount(port.memo, u"Inserted to log: "), 0);
    EXPECT_EQ(SummaryCount(port.memo, u"Updated in log: "), inserted + updated);
    EXPECT_EQ(host.stored, storedBefore);
    EXPECT_EQ(host.updatedKeys, storedBefore);  // the UPDATE conditions are the stored rows' keys
  }
}

}  // namespace
}  // namespace quillet::testing

namespace quillet::testing {
namespace {

// A UTF-8 file without a byte-order mark whose lengths count characters:
// read as UTF-8 on every platform, each name whole.
TEST(DataFiles, Utf8FileWithoutMarkReadsWholeNames) {
  const std::u16string path = Utf8ToUtf16(std::string(QUILLET_TEST_DATA) + "/hamrs-pota-utf8-char-count.adi");
  std::vector<std::u16string> lines;
  SourceEncoding encoding = SourceEncoding::Ansi;
  ASSERT_TRUE(LoadSourceLines(path, lines, &encoding));
  EXPECT_EQ(encoding, SourceEncoding::Utf8);
  TAdifData data;
  ParseAdifText(data, lines);
  std::vector<std::u16string> names;
  for (const std::u16string& record : data.Records) {
    const std::u16string name = GetAdifField(u"NAME", 40, record, LengthsOf(encoding));
    if (name.find(u"ORDO") != std::u16string::npos) names.push_back(name);
  }
  EXPECT_EQ(names, std::vector<std::u16string>{u"MARIANO ORDO\u00D1EZ TERRON"});
}

}  // namespace
}  // namespace quillet::testing
