// The reader over files written by other logging programs.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "adif/adif_reader.h"
#include "logmodel/band_lookup.h"
#include "runtime/text.h"
#include "support/adif_text.h"

namespace quillet {
namespace {

// Decodes a UTF-8 file (BOM dropped) and splits it into lines at CR, LF
// and CR LF; a final line break ends the last line.
std::vector<std::u16string> ReadLines(const std::string& fileName) {
  std::ifstream file(std::string(QUILLET_TEST_DATA) + "/" + fileName, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(bytes.empty()) << fileName;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  const std::u16string text = Utf8ToUtf16(bytes);
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

TAdifData Parse(const std::string& fileName) {
  TAdifData data;
  EXPECT_TRUE(ParseAdifText(data, ReadLines(fileName))) << fileName;
  return data;
}

struct FileCase {
  const char* file;
  std::size_t headerLines;
  std::size_t records;  // a last record string after the last <EOR> included
  const char16_t* adifVersion;
};

const FileCase kFiles[] = {
    {"clublog-export.adi", 7, 14, u""},
    {"hamrs-pota-utf8-char-count.adi", 5, 73, u"3.0.5"},
    {"log4om2-bom-hash-comment-preamble.adi", 7, 122, u""},
    {"lotw-report-inline-comments.adi", 13, 439, u""},
    {"mixw2-header-fields-without-length.adi", 5, 14, u"3.0.5"},
    {"n1mm-logger-plus-contest-crlf.adi", 5, 25, u""},
    {"n3fjp-aclog-one-field-per-line.adi", 9, 439, u""},
    {"sat-log-no-eoh-lowercase-type.adi", 0, 709, u""},
};

TEST(AdifSampleFiles, SplitIntoHeaderAndRecords) {
  for (const FileCase& c : kFiles) {
    const TAdifData data = Parse(c.file);
    EXPECT_EQ(data.Header.size(), c.headerLines) << c.file;
    EXPECT_EQ(data.Records.size(), c.records) << c.file;
    EXPECT_EQ(GetAdifField(u"ADIF_VER", 5, HeaderText(data)), c.adifVersion) << c.file;
  }
}

TEST(AdifSampleFiles, BomFileWithBlanksBetweenFields) {
  const TAdifData data = Parse("log4om2-bom-hash-comment-preamble.adi");
  EXPECT_TRUE(data.Header[0].starts_with(u"#+++")) << "BOM left in the first line";
  EXPECT_EQ(data.Header[6], u"<ADIF_VERS:5>3.1.0 <PROGRAMID:7>Log4OM2 <PROGRAMVERSION:8>2.22.0.0 <eoh>");
  EXPECT_EQ(GetAdifField(u"ADIF_VERS", 5, HeaderText(data)), u"3.1.0");
  const std::u16string& first = data.Records[0];
  EXPECT_EQ(GetAdifField(u"CALL", 15, first), u"KE8LVA");
  EXPECT_EQ(GetAdifField(u"CNTY", 255, first), u"OH,WAYNE");
  EXPECT_EQ(GetAdifField(u"FREQ", 12, first), u"7.278000");
  // The 40 m band of the table ends at 7.2 MHz.
  EXPECT_EQ(FrequencyToBand(GetAdifField(u"FREQ", 12, first)), u"");
}

TEST(AdifSampleFiles, CrLfFileWithLeadingBlanks) {
  const TAdifData data = Parse("n1mm-logger-plus-contest-crlf.adi");
  EXPECT_EQ(data.Header[4], u"<EOH>");
  EXPECT_TRUE(data.Records[0].starts_with(u" <CALL:5>OK7PN <QSO_DATE:8>20220219"));
  EXPECT_EQ(GetAdifField(u"FREQ", 12, data.Records[0]), u"14.09080");
  EXPECT_EQ(GetAdifField(u"OPERATOR", 20, data.Records[0]), u"KI2D");
  EXPECT_EQ(FrequencyToBand(GetAdifField(u"FREQ", 12, data.Records[0])), u"20M");
  EXPECT_TRUE(data.Records[24].ends_with(u"<EOR>"));
}

TEST(AdifSampleFiles, LowerCaseTagsAndCharacterLengths) {
  const TAdifData data = Parse("hamrs-pota-utf8-char-count.adi");
  EXPECT_EQ(GetAdifField(u"CALL", 15, data.Records[0]), u"AC9OT");
  EXPECT_EQ(GetAdifField(u"BAND", 10, data.Records[0]), u"20m");
  EXPECT_EQ(GetAdifField(u"NAME", 255, data.Records[17]), u"MARIANO ORDOÑEZ TERRON");
  EXPECT_EQ(data.Records[72], u"");
}

TEST(AdifSampleFiles, FileWithoutHeaderAndWithTypeIndicators) {
  const TAdifData data = Parse("sat-log-no-eoh-lowercase-type.adi");
  EXPECT_TRUE(data.Header.empty());
  EXPECT_EQ(GetAdifField(u"CALL", 15, data.Records[0]), u"K5MAN");
  EXPECT_EQ(GetAdifField(u"QSO_DATE", 8, data.Records[0]), u"20060101");
  EXPECT_EQ(GetAdifField(u"BAND", 10, data.Records[0]), u"2M");
  EXPECT_EQ(GetAdifField(u"CALL", 15, data.Records[1]), u"NE0P");
}

TEST(AdifSampleFiles, MixedCaseTagsOneFieldPerLine) {
  const TAdifData n3fjp = Parse("n3fjp-aclog-one-field-per-line.adi");
  EXPECT_EQ(GetAdifField(u"CALL", 15, n3fjp.Records[0]), u"N5ILQ");
  EXPECT_EQ(GetAdifField(u"QSO_DATE", 8, n3fjp.Records[0]), u"20220602");
  const TAdifData lotw = Parse("lotw-report-inline-comments.adi");
  EXPECT_EQ(GetAdifField(u"MY_STATE", 25, lotw.Records[0]), u"WI");
  EXPECT_EQ(lotw.Records[438], u"<APP_LoTW_EOF>");
  const TAdifData clublog = Parse("clublog-export.adi");
  EXPECT_EQ(GetAdifField(u"QSL_RCVD", 1, clublog.Records[1]), u"V");
}

}  // namespace
}  // namespace quillet
