#include "engine/source_lines.h"

#include <gtest/gtest.h>

#include "engine/fake_dialog.h"

namespace quillet::testing {
namespace {

struct DecodeRow {
  std::string_view bytes;
  std::vector<std::u16string> lines;
  SourceEncoding encoding;
};

TEST(SourceLines, DecodesByMarkAndSplitsAtEveryLineEnd) {
  const DecodeRow rows[] = {
      {std::string_view("a\r\nb\rc\nd", 8), {u"a", u"b", u"c", u"d"}, SourceEncoding::Ansi},
      {"a\r\n\r\n", {u"a", u""}, SourceEncoding::Ansi},
      {"", {}, SourceEncoding::Ansi},
      {"\xE9t", {u"\u00E9t"}, SourceEncoding::Ansi},  // the ANSI code page (Windows-1252 here)
      {"\xEF\xBB\xBF\xC3\xA9\n", {u"\u00E9"}, SourceEncoding::Utf8Bom},
      {std::string_view("\xFF\xFE"
                        "A\0\r\0\n\0\xE9\0",
                        10),
       {u"A", u"\u00E9"},
       SourceEncoding::Utf16LE},
      {std::string_view("\xFE\xFF\0A\0\n\x20\xAC", 8), {u"A", u"\u20AC"}, SourceEncoding::Utf16BE},
      {std::string_view("ab\0cd\nef", 8), {u"ab"}, SourceEncoding::Ansi},  // a NUL ends the text
  };
  for (const DecodeRow& row : rows) {
    SourceEncoding encoding = SourceEncoding::Utf16BE;
    std::vector<std::u16string> lines;
    SplitSourceLines(DecodeSourceText(row.bytes, encoding), lines);
    EXPECT_EQ(lines, row.lines) << row.bytes;
    EXPECT_EQ(encoding, row.encoding) << row.bytes;
  }
}

TEST(SourceLines, LoadsAFileAndReportsAMissingOne) {
  TempFolder folder;
  WriteBytes(folder.File("a.adi"), "\xEF\xBB\xBFone\r\ntwo");
  std::vector<std::u16string> lines;
  SourceEncoding encoding = SourceEncoding::Ansi;
  ASSERT_TRUE(LoadSourceLines(folder.File("a.adi"), lines, &encoding));
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"one", u"two"}));
  EXPECT_EQ(encoding, SourceEncoding::Utf8Bom);
  EXPECT_FALSE(LoadSourceLines(folder.File("missing.adi"), lines));
}

}  // namespace
}  // namespace quillet::testing
