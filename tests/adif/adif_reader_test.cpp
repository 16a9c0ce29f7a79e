#include "adif/adif_reader.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/text.h"
#include "support/adif_text.h"

namespace quillet {
namespace {

using Lines = std::vector<std::u16string>;

struct FieldCase {
  const char16_t* text;
  const char16_t* name;
  std::int32_t maxLen;
  const char16_t* expected;
};

const FieldCase kFieldCases[] = {
    {u"<CALL:4>ABCD<EOR>", u"CALL", 15, u"ABCD"},
    {u"<call:4>abcd<eor>", u"CALL", 15, u"abcd"},
    {u"<CALL:4>ABCD<EOR>", u"call", 15, u"ABCD"},
    {u"<CALL:6>ABCDEF<EOR>", u"CALL", 3, u"ABC"},
    {u"<CALL:10>ABCD<EOR>", u"CALL", 8, u"ABCD<EOR"},
    {u"<CALL:10>ABCD", u"CALL", 20, u"ABCD"},
    {u"<CALL:4>ABCD<EOR>", u"NAME", 20, u""},
    {u"<COMMENT:13>see <CALL:1>X<CALL:4>ABCD", u"CALL", 15, u"X"},
    {u"<QSO_DATE:8>20230101<CALL:", u"CALL", 15, u""},
    {u"<CALL:>ABCD", u"CALL", 15, u""},
    {u"<CALL: 4>ABCD", u"CALL", 15, u""},
    {u"<CALL:0>ABCD", u"CALL", 15, u""},
    {u"<CALL:0004>ABCD", u"CALL", 15, u"ABCD"},
    {u"<CALL:4]ABCD", u"CALL", 15, u"ABCD"},
    {u"<CALL:4>ABCD", u"CALL", 0, u""},
    {u"<CALL:4>ABCD", u"CALL", -1, u""},
    {u"<CALL:4>  AB", u"CALL", 15, u"  AB"},
    {u"<MY_CALL:4>WXYZ<CALL:4>ABCD", u"CALL", 15, u"ABCD"},
    // Data type indicators are skipped up to their ">".
    {u"<QSO_DATE:8:D>20230101", u"QSO_DATE", 8, u"20230101"},
    {u"<freq:6:N>14.074<eor>", u"FREQ", 12, u"14.074"},
    {u"<QSO_DATE:8:d", u"QSO_DATE", 8, u""},
    {u"<CALL:4;X>ABCD", u"CALL", 15, u"X>AB"},
    // Upper-casing maps a to z only.
    {u"<ñame:2>ab", u"ÑAME", 5, u""},
};

TEST(GetAdifField, ReadsTheFirstSpecifierForTheName) {
  for (const FieldCase& c : kFieldCases) {
    EXPECT_EQ(GetAdifField(c.name, c.maxLen, c.text), c.expected) << Utf16ToUtf8(c.text);
  }
}

TEST(GetAdifField, LooksAtMost32767CharactersPastTheColon) {
  const std::u16string text = u"<CALL:40000>" + std::u16string(40000, u'x');
  EXPECT_EQ(GetAdifField(u"CALL", 50000, text).size(), 32767u - 6u);
  const std::u16string digits = u"<CALL:" + std::u16string(32767, u'0') + u"7>ABCDEFGH";
  EXPECT_EQ(GetAdifField(u"CALL", 50, digits), u"");
}

TEST(GetAdifField, RaisesForALengthBeyondThe32BitRange) {
  EXPECT_EQ(GetAdifField(u"CALL", 1, u"<CALL:2147483647>AB"), u"A");
  try {
    GetAdifField(u"CALL", 15, u"<CALL:2147483648>AB");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, u"''02147483648'' is not a valid integer value");
  }
  EXPECT_THROW(GetAdifField(u"CALL", 0, u"<CALL:99999999999999999999999>AB"), EConvertError);
}

TEST(ParseAdifText, SplitsHeaderAndRecords) {
  TAdifData data;
  const Lines lines = {u"header", u"<ADIF_VER:5>3.1.0", u"<EOH>", u"<CALL:4>ABCD<QSO_DATE:8>20230101<EOR>",
                       u"<CALL:4>WXYZ<EOR>"};
  EXPECT_TRUE(ParseAdifText(data, lines));
  EXPECT_EQ(data.Header, (Lines{u"header", u"<ADIF_VER:5>3.1.0", u"<EOH>"}));
  EXPECT_EQ(data.Records, (Lines{u"<CALL:4>ABCD<QSO_DATE:8>20230101<EOR>", u"<CALL:4>WXYZ<EOR>"}));
  EXPECT_EQ(HeaderText(data), u"header\r\n<ADIF_VER:5>3.1.0\r\n<EOH>\r\n");
  EXPECT_EQ(GetAdifField(u"ADIF_VER", 5, HeaderText(data)), u"3.1.0");
}

struct ParseCase {
  Lines lines;
  Lines header;
  Lines records;
};

const ParseCase kParseCases[] = {
    // Lower-case terminators; text after <eoh> begins the records.
    {{u"x <eoh><CALL:1>A<eor>", u"<call:4>abcd<eor>"},
     {u"x <eoh>"},
     {u"<CALL:1>A<eor>", u"<call:4>abcd<eor>"}},
    {{u"<ADIF_VER:5>3.1.4<EOH> <CALL:1>A", u"<EOR>"}, {u"<ADIF_VER:5>3.1.4<EOH>"}, {u" <CALL:1>A<EOR>"}},
    // A whole file on one line.
    {{u"<EOH><CALL:1>A<EOR><CALL:1>B<EOR>"}, {u"<EOH>"}, {u"<CALL:1>A<EOR>", u"<CALL:1>B<EOR>"}},
    // A record over two lines, and a terminator split by a line break.
    {{u"<EOH>", u"<CALL:4>ABCD", u"<MODE:3>SSB<EOR>", u"<CALL:1>X<EO", u"R><CALL:1>Y"},
     {u"<EOH>"},
     {u"<CALL:4>ABCD<MODE:3>SSB<EOR>", u"<CALL:1>X<EOR>", u"<CALL:1>Y"}},
    // Lines after the last terminator give one more record.
    {{u"<EOH>", u"<CALL:1>A<EOR>", u"", u""}, {u"<EOH>"}, {u"<CALL:1>A<EOR>", u""}},
    // Text after a terminator stays in its record unless it opens another one.
    {{u"<EOH>", u"<CALL:1>A<EOR> end", u"<CALL:1>B<eor><CALL:1>C<EOR>", u"<CALL:1>D<EOR><CALL:1>E"},
     {u"<EOH>"},
     {u"<CALL:1>A<EOR> end", u"<CALL:1>B<eor>", u"<CALL:1>C<EOR>", u"<CALL:1>D<EOR>", u"<CALL:1>E"}},
    {{u"<EOH>"}, {u"<EOH>"}, {}},
    // Without <EOH>: all header, unless the text opens with a specifier.
    {{u"Exported log", u"<CALL:1>A<EOR>"}, {u"Exported log", u"<CALL:1>A<EOR>"}, {}},
    {{u"", u"  <CALL:1>A", u"<EOR>", u"<call:1>B<eor>"}, {}, {u"  <CALL:1>A<EOR>", u"<call:1>B<eor>"}},
    {{u"<CALL:1>A"}, {}, {u"<CALL:1>A"}},
    {{u"", u"  "}, {u"", u"  "}, {}},
    // An <EOH> anywhere makes the opening lines a header again.
    {{u"<CALL:1>A", u"<eoh>", u"<CALL:1>B<EOR>"}, {u"<CALL:1>A", u"<eoh>"}, {u"<CALL:1>B<EOR>"}},
};

TEST(ParseAdifText, FollowsTheLineRules) {
  for (const ParseCase& c : kParseCases) {
    TAdifData data;
    EXPECT_TRUE(ParseAdifText(data, c.lines));
    EXPECT_EQ(data.Header, c.header) << data.Header.size();
    EXPECT_EQ(data.Records, c.records) << data.Records.size();
    AdifLayout layout;
    for (const std::u16string& line : c.lines) layout.Scan(line);
    EXPECT_EQ(layout.RecordCount(), c.records.size());
  }
}

TEST(ParseAdifText, IsFalseOnlyForNoLinesAndOnlyAppends) {
  TAdifData data;
  EXPECT_FALSE(ParseAdifText(data, {}));
  EXPECT_TRUE(data.Header.empty() && data.Records.empty());
  EXPECT_TRUE(ParseAdifText(data, {u""}));
  EXPECT_TRUE(ParseAdifText(data, {u"<CALL:1>A<EOR>"}));
  EXPECT_EQ(data.Header, (Lines{u""}));
  EXPECT_EQ(data.Records, (Lines{u"<CALL:1>A<EOR>"}));
}

TEST(ParseAdifText, DropsTheLineBreakInsideAValue) {
  TAdifData data;
  ParseAdifText(data, {u"<EOH>", u"<COMMENT:7>one", u"two<CALL:1>A<EOR>"});
  EXPECT_EQ(GetAdifField(u"COMMENT", 255, data.Records[0]), u"onetwo<");
}

struct LengthRow {
  std::u16string_view text;
  std::u16string_view name;
  std::int32_t maxLen;
  std::u16string_view utf8;   // read from a text decoded from UTF-8
  std::u16string_view units;  // read from any other text
};

// Files whose lengths count UTF-8 bytes and files whose lengths count
// characters both read right; ASCII values are the same either way.
const LengthRow kLengthRows[] = {
    {u"<NAME:6>André<QTH:3>abc", u"NAME", 20, u"André", u"André<"},  // bytes
    {u"<NAME:5>André<QTH:3>abc", u"NAME", 20, u"André", u"André"},   // characters
    {u"<QTH:9>Montréal<EOR>", u"QTH", 20, u"Montréal", u"Montréal<"},
    {u"<ADDRESS:4>赵x<EOR>", u"ADDRESS", 20, u"赵x", u"赵x<E"},
    {u"<NAME:14>Ferenc Tankó <EOR>", u"NAME", 20, u"Ferenc Tankó ", u"Ferenc Tankó <"},
    {u"<NAME:12>Ferenc Tankó<EOR>", u"NAME", 20, u"Ferenc Tankó", u"Ferenc Tankó"},  // characters
    {u"<NAME:5>Tankó", u"NAME", 20, u"Tankó", u"Tankó"},                             // ends with the text
    {u"<NAME:4>Tankó", u"NAME", 20, u"Tank", u"Tank"},                               // neither ends at a tag
    {u"<NAME:2>éé<X:1>y", u"NAME", 20, u"éé", u"éé"},  // both end at a tag: characters
    {u"<NAME:6>\U0001F4FBab<EOR>", u"NAME", 20, u"\U0001F4FBab", u"\U0001F4FBab<E"},  // a pair is four bytes
    {u"<CALL:4>AB<C<EOR>", u"CALL", 20, u"AB<C", u"AB<C"},                            // ASCII as always
    {u"<NAME:5>ab\U0001F4FBc", u"NAME", 3, u"ab", u"ab"},  // no cut between a pair's halves
    {u"<NAME:5>ab\U0001F4FBc", u"NAME", 4, u"ab\U0001F4FB", u"ab\U0001F4FB"},
};

TEST(AdifReader, LengthsOfUtf8TextsCountBytesOrCharacters) {
  for (const LengthRow& row : kLengthRows) {
    SCOPED_TRACE(Utf16ToUtf8(row.text));
    EXPECT_EQ(GetAdifField(row.name, row.maxLen, row.text, AdifLengths::Utf8BytesOrUnits), row.utf8);
    EXPECT_EQ(GetAdifField(row.name, row.maxLen, row.text), row.units);
  }
}

}  // namespace
}  // namespace quillet
