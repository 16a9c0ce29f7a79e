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
      {"Montr\xC3\xA9" "al", {u"Montr\u00E9al"}, SourceEncoding::Utf8},  // UTF-8 beyond doubt
      {"\xE8\xB5\xB5\n\xF0\x9F\x93\xBB", {u"\u8D75", u"\U0001F4FB"}, SourceEncoding::Utf8},
      {"plain ASCII", {u"plain ASCII"}, SourceEncoding::Ansi},
#ifdef _WIN32
      {"\xC3\xA9\xE9", {u"\u00C3\u00A9\u00E9"}, SourceEncoding::Ansi},  // one byte is not UTF-8: all Windows-1252
#else
      {"\xC3\xA9\xE9", {u"\u00E9\u00E9"}, SourceEncoding::Ansi},  // one byte is not UTF-8 (the stand-in
                                                                    // page keeps the valid sequence)
#endif
      {"\xC0\xAF", {u"\u00C0\u00AF"}, SourceEncoding::Ansi},              // overlong
      {"\xED\xA0\x80", {u"\u00ED\u00A0\u20AC"}, SourceEncoding::Ansi},  // a surrogate
      {"\xE2\x82", {u"\u00E2\u201A"}, SourceEncoding::Ansi},              // cut short
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

TEST(SourceLines, LengthsOfUtf8SourcesMayCountBytes) {
  EXPECT_EQ(LengthsOf(SourceEncoding::Utf8), AdifLengths::Utf8BytesOrUnits);
  EXPECT_EQ(LengthsOf(SourceEncoding::Utf8Bom), AdifLengths::Utf8BytesOrUnits);
  EXPECT_EQ(LengthsOf(SourceEncoding::Ansi), AdifLengths::Utf16Units);
  EXPECT_EQ(LengthsOf(SourceEncoding::Utf16LE), AdifLengths::Utf16Units);
}

}  // namespace
}  // namespace quillet::testing
