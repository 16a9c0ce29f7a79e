#include "engine/error_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "engine/fake_port.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet::testing {
namespace {

TEST(ErrorFile, PathRuleNeverNamesTheSource) {
  const char16_t* const rows[][2] = {
      {u"/logs/contest.adi", u"/logs/contest.err"},     {u"/logs/contest", u"/logs/contest.err"},
      {u"/logs.d/contest", u"/logs.d/contest.err"},     {u"/logs/a.b.adif", u"/logs/a.b.err"},
      {u"/logs/contest.err", u"/logs/contest.err.err"}, {u"/logs/contest.ERR", u"/logs/contest.ERR.err"},
  };
  for (const auto& row : rows) EXPECT_EQ(ErrorFilePathOf(row[0]), row[1]);
}

TEST(ErrorFile, HeaderNamesTheApplicationAndItsVersion) {
  const ShortFormats formats{u"dd.mm.yyyy", u"hh:nn"};
  EXPECT_EQ(
      ErrorFileHeaderText(u"Hosty", u"2.1", EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 0, 0), formats),
      u"# Created by: Hosty, 05.03.2024 07:08\r\n#\r\n<PROGRAMID:5>Hosty\r\n<PROGRAMVERSION:3>2.1\r\n<EOH>");
  EXPECT_EQ(ErrorFileHeaderText(u"", u"", 0, formats),
            u"# Created by: , 30.12.1899 00:00\r\n#\r\n<PROGRAMID:0>\r\n<PROGRAMVERSION:0>\r\n<EOH>");
}

TEST(ErrorFile, FirstRecordCreatesTheFileOnce) {
  TempFolder folder;
  const std::u16string header = u"H1\r\n<EOH>";
  ErrorFile file(header, folder.File("x.adi"), SourceEncoding::Ansi);
  const std::u16string path = folder.File("x.err");
  EXPECT_EQ(file.ErrorFilePath(), path);
  EXPECT_EQ(file.ErrorFileName(), u"x.err");
  EXPECT_EQ(file.ErrorFileHeader(), header);
  EXPECT_TRUE(file.CreateWhenMissing());
  EXPECT_FALSE(file.CreateWhenMissing());
  file.AppendErrorRecord(u"<CALL:3>\u00E9\u4E2D\u00E9<EOR>");
  file.AppendErrorRecord(u"<CALL:1>B<EOR>");
  EXPECT_EQ(ReadBytes(path),
            Utf16ToAnsi(u"H1\r\n<EOH>\r\n<CALL:3>\u00E9\u4E2D\u00E9<EOR>\r\n<CALL:1>B<EOR>\r\n"));

  // A source read through a byte-order mark keeps its characters.
  ErrorFile bomFile(header, folder.File("bom.adi"), SourceEncoding::Utf16LE);
  bomFile.AppendErrorRecord(u"\u4E2D");
  EXPECT_EQ(ReadBytes(folder.File("bom.err")),
            "\xEF\xBB\xBF"
            "H1\r\n<EOH>\r\n\xE4\xB8\xAD\r\n");

  // A source read as UTF-8 without a mark gets UTF-8 without a mark.
  ErrorFile utf8File(header, folder.File("utf8.adi"), SourceEncoding::Utf8);
  utf8File.AppendErrorRecord(u"Montr\u00E9al");
  EXPECT_EQ(ReadBytes(folder.File("utf8.err")),
            "H1\r\n<EOH>\r\nMontr\xC3\xA9"
            "al\r\n");

  ErrorFile nowhere(header, folder.File("no/such/folder.adi"), SourceEncoding::Ansi);
  EXPECT_THROW(nowhere.AppendErrorRecord(u"x"), EInOutError);
}

// A run starts its error file afresh.
TEST(ErrorFile, OlderFileOfTheSameSourceIsDeleted) {
  TempFolder folder;
  WriteBytes(folder.File("x.err"), "old");
  const ErrorFile file(u"<EOH>", folder.File("x.adi"), SourceEncoding::Ansi);
  file.DeleteOlderFile();
  EXPECT_FALSE(FileExists(folder.File("x.err")));
}

#ifndef _WIN32
// Lets the process write files up to limit bytes, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};

// A record the disk has no room for leaves no fragment that a re-import
// of the error file would read as a record.
TEST(ErrorFile, ARecordIsWrittenWholeOrNotAtAll) {
  TempFolder folder;
  const std::u16string path = folder.File("full.err");
  ErrorFile file(u"<EOH>", folder.File("full.adi"), SourceEncoding::Ansi);
  file.AppendErrorRecord(u"<CALL:1>A<EOR>");
  const std::string before = ReadBytes(path);
  {
    const FileSizeLimit limit(before.size() + 8);
    EXPECT_THROW(file.AppendErrorRecord(u"<CALL:5>B1BBB<EOR>"), EInOutError);
  }
  EXPECT_EQ(ReadBytes(path), before);
  file.AppendErrorRecord(u"<CALL:1>C<EOR>");
  EXPECT_EQ(ReadBytes(path), before + "<CALL:1>C<EOR>\r\n");
}
#endif

}  // namespace
}  // namespace quillet::testing
