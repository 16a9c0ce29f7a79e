#include "engine/source_lines.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/fake_port.h"
#include "engine/whole_source_reference.h"
#include "support/source_file_lines.h"

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
      {"Montr\xC3\xA9"
       "al",
       {u"Montr\u00E9al"},
       SourceEncoding::Utf8},  // UTF-8 beyond doubt
      {"\xE8\xB5\xB5\n\xF0\x9F\x93\xBB", {u"\u8D75", u"\U0001F4FB"}, SourceEncoding::Utf8},
      {"plain ASCII", {u"plain ASCII"}, SourceEncoding::Ansi},
#ifdef _WIN32
      {"\xC3\xA9\xE9",
       {u"\u00C3\u00A9\u00E9"},
       SourceEncoding::Ansi},  // one byte is not UTF-8: all Windows-1252
#else
      {"\xC3\xA9\xE9", {u"\u00E9\u00E9"}, SourceEncoding::Ansi},  // one byte is not UTF-8 (the stand-in
                                                                  // page keeps the valid sequence)
#endif
      {"\xC0\xAF", {u"\u00C0\u00AF"}, SourceEncoding::Ansi},            // overlong
      {"\xED\xA0\x80", {u"\u00ED\u00A0\u20AC"}, SourceEncoding::Ansi},  // a surrogate
      {"\xE2\x82", {u"\u00E2\u201A"}, SourceEncoding::Ansi},            // cut short
      {"\xEF\xBB\xBF\xC3\xA9\n", {u"\u00E9"}, SourceEncoding::Utf8Bom},
      {std::string_view("\xFF\xFE"
                        "A\0\r\0\n\0\xE9\0",
                        10),
       {u"A", u"\u00E9"},
       SourceEncoding::Utf16LE},
      {std::string_view("\xFE\xFF\0A\0\n\x20\xAC", 8), {u"A", u"\u20AC"}, SourceEncoding::Utf16BE},
      {std::string_view("ab\0cd\nef", 8), {u"ab"}, SourceEncoding::Ansi},  // a NUL ends the text
  };
  TempFolder folder;
  const std::u16string path = folder.File("rows.adi");
  for (const DecodeRow& row : rows) {
    WriteBytes(path, row.bytes);
    SourceEncoding encoding = SourceEncoding::Utf16BE;
    ASSERT_TRUE(DetectSourceEncoding(path, encoding));
    EXPECT_EQ(encoding, row.encoding) << row.bytes;
    // Pieces of every small size put each line end, mark and character at
    // the edge of a piece.
    for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, kSourcePieceBytes}) {
      SourceLineReader reader(path, encoding, piece);
      std::vector<std::u16string> lines;
      for (std::u16string line; reader.NextLine(line);) lines.push_back(line);
      EXPECT_EQ(lines, row.lines) << row.bytes << " in pieces of " << piece;
      EXPECT_FALSE(reader.Failed());
    }
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

// Random sources made of the pieces that matter to the reader: terminators
// whole, in any case and split, line ends of every style, NUL, multi-byte
// and stray high bytes, in every encoding.
std::string RandomSource(std::mt19937& random) {
  static const std::string_view kPieces[] = {"<EOR>",
                                             "<eor>",
                                             "<EO",
                                             "R>",
                                             "<EOH>",
                                             "<eoh>",
                                             "<CALL:4>K1AB",
                                             "<NAME:6>Andr\xC3\xA9",
                                             "\r",
                                             "\n",
                                             "\r\n",
                                             "\r\n",
                                             " ",
                                             "\t",
                                             "<",
                                             "x",
                                             "\xC3\xA9",
                                             "\xE8\xB5\xB5",
                                             "\xF0\x9F\x93\xBB",
                                             "\xE9",
                                             "\x80"};
  std::string body;
  const int pieces = std::uniform_int_distribution<int>(0, 40)(random);
  for (int i = 0; i < pieces; ++i) {
    const auto pick = std::uniform_int_distribution<std::size_t>(0, std::size(kPieces))(random);
    body += pick == std::size(kPieces) ? std::string_view("\0", 1) : kPieces[pick];
  }
  switch (std::uniform_int_distribution<int>(0, 4)(random)) {
    case 0:
      return "\xEF\xBB\xBF" + body;
    case 1:
    case 2: {
      const bool bigEndian = random() % 2 == 0;
      std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
      for (const char16_t unit : Utf8ToUtf16(body)) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
      }
      if (random() % 4 == 0) bytes += 'z';  // an odd last byte
      return bytes;
    }
    default:
      return body;
  }
}

TEST(SourceLines, ReadInPiecesGivesWhatTheWholeFileGave) {
  TempFolder folder;
  const std::u16string path = folder.File("random.adi");
  std::mt19937 random(20261209);
  for (int round = 0; round < 3000 && !HasFailure(); ++round) {
    const std::string bytes = RandomSource(random);
    WriteBytes(path, bytes);
    SourceEncoding expectedEncoding = SourceEncoding::Ansi;
    const std::vector<std::u16string> expectedLines =
        whole_source::SplitSourceLines(whole_source::DecodeSourceText(bytes, expectedEncoding));
    const whole_source::Parsed expected = whole_source::Parse(expectedLines);

    SourceEncoding encoding = SourceEncoding::Ansi;
    ASSERT_TRUE(DetectSourceEncoding(path, encoding));
    EXPECT_EQ(encoding, expectedEncoding) << round;
    const std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 24)(random);
    AdifLayout layout;
    SourceLineReader scan(path, encoding, piece);
    for (std::u16string line; scan.NextLine(line);) layout.Scan(line);
    EXPECT_EQ(layout.AnyLines(), !expectedLines.empty()) << round;
    EXPECT_EQ(layout.RecordCount(), expected.records.size()) << round;

    SourceLineReader lines(path, encoding, piece);
    AdifRecordReader reader(lines, layout.HasHeader());
    EXPECT_EQ(reader.Header(), expected.header) << round;
    std::vector<std::u16string> records;
    for (std::u16string record; reader.NextRecord(record);) records.push_back(record);
    EXPECT_EQ(records, expected.records) << round << " in pieces of " << piece;
  }
}

TEST(SourceLines, LengthsOfUtf8SourcesMayCountBytes) {
  EXPECT_EQ(LengthsOf(SourceEncoding::Utf8), AdifLengths::Utf8BytesOrUnits);
  EXPECT_EQ(LengthsOf(SourceEncoding::Utf8Bom), AdifLengths::Utf8BytesOrUnits);
  EXPECT_EQ(LengthsOf(SourceEncoding::Ansi), AdifLengths::Utf16Units);
  EXPECT_EQ(LengthsOf(SourceEncoding::Utf16LE), AdifLengths::Utf16Units);
}

}  // namespace
}  // namespace quillet::testing
