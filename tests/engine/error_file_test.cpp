#include "engine/error_file.h"

#include <gtest/gtest.h>

#include "engine/fake_dialog.h"
#include "engine/import_engine.h"
#include "platform/text_codec.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"
#include "support/fake_host.h"

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

TEST(ErrorFile, FirstRecordCreatesTheFileAndWarnsOnce) {
  TempFolder folder;
  FakeDialog dialog;
  FakeHost host;
  ErrorFileHeader = u"H1\r\n<EOH>";
  const std::u16string path = folder.File("x.err");
  ErrorFile file(dialog, host.Kernel());
  file.AppendErrorRecord(path, u"<CALL:3>\u00E9\u4E2D\u00E9<EOR>");
  file.AppendErrorRecord(path, u"<CALL:1>B<EOR>");
  EXPECT_EQ(ReadBytes(path),
            Utf16ToAnsi(u"H1\r\n<EOH>\r\n<CALL:3>\u00E9\u4E2D\u00E9<EOR>\r\n<CALL:1>B<EOR>\r\n"));
  EXPECT_EQ(dialog.errorCaption, u"Warning: ADIF errors found");
  EXPECT_EQ(host.LogLines(), (std::vector<std::u16string>{u"Warning: ADIF errors found, saved in x.err"}));

  // A source read through a byte-order mark keeps its characters.
  const std::u16string bomPath = folder.File("bom.err");
  file.SetSourceEncoding(SourceEncoding::Utf16LE);
  file.AppendErrorRecord(bomPath, u"\u4E2D");
  EXPECT_EQ(ReadBytes(bomPath),
            "\xEF\xBB\xBF"
            "H1\r\n<EOH>\r\n\xE4\xB8\xAD\r\n");

  EXPECT_THROW(file.AppendErrorRecord(folder.File("no/such/folder.err"), u"x"), EInOutError);
}

}  // namespace
}  // namespace quillet::testing
