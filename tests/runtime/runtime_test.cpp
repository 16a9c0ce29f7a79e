#include <gtest/gtest.h>

#include "runtime/date_time.h"
#include "runtime/decimal.h"
#include "runtime/exceptions.h"
#include "runtime/safe_call.h"
#include "runtime/text.h"

namespace quillet {
namespace {

TEST(Text, UpperCasesOnlyAsciiLetters) { EXPECT_EQ(UpperAscii(u"dl1abc/p ñ é"), u"DL1ABC/P ñ é"); }

TEST(Text, TrimRemovesControlsAndBlanks) {
  EXPECT_EQ(Trim(u"\t \r\nK1ABC \x01"), u"K1ABC");
  EXPECT_EQ(Trim(u"  "), u"");
}

TEST(Text, Utf8RoundTripsIncludingSurrogates) {
  const std::string utf8 =
      "ORDO\xC3\x91"
      "EZ \xF0\x9F\x93\xBB";
  const std::u16string wide = Utf8ToUtf16(utf8);
  EXPECT_EQ(wide.size(), 10u);
  EXPECT_EQ(Utf16ToUtf8(wide), utf8);
}

TEST(Text, FormatsTextsAndNumbers) {
  EXPECT_EQ(FormatText(u"%s (%s, line %d)", {u"Assertion failure", u"Quillet", 74}),
            u"Assertion failure (Quillet, line 74)");
  EXPECT_EQ(IntToText(-2147483648LL), u"-2147483648");
}

TEST(DateTime, EncodesDaysSince18991230) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2023, 1, 1), 44927.0);
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  const DateParts parts = DecodeDate(EncodeDate(2024, 2, 29));
  EXPECT_EQ(parts.year, 2024);
  EXPECT_EQ(parts.month, 2);
  EXPECT_EQ(parts.day, 29);
}

TEST(DateTime, InvalidPartsRaiseConvertError) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2023, 13, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(DateTime, FormatsPatterns) {
  const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 0);
  EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd", value), u"2024-03-05");
  EXPECT_EQ(FormatDateTime(u"hh:nn:ss", value), u"07:08:09");
  EXPECT_EQ(FormatDateTime(u"ddddd t", value), u"2024-03-05 07:08");
}

TEST(Exceptions, ReportTheirOwnClassNameAndRaiseUnderIt) {
  const EConvertError error(u"bad");
  const Exception& base = error;
  EXPECT_STREQ(base.ClassName(), "EConvertError");
  EXPECT_THROW(base.Raise(), EConvertError);
  EXPECT_EQ(EAssertionFailed::At(u"Assertion failure", u"Quillet", 74).Message,
            u"Assertion failure (Quillet, line 74)");
}

TEST(SafeCall, FailureStatusRaisesAndSuccessPasses) {
  EXPECT_NO_THROW(Check(0));
  EXPECT_NO_THROW(Check(1));
  try {
    Check(static_cast<HRESULT>(0x80004005u));
    FAIL();
  } catch (const EOleSysError& e) {
    EXPECT_EQ(static_cast<std::uint32_t>(e.ErrorCode), 0x80004005u);
  }
}

TEST(ParseDecimal, IsCorrectlyRoundedAndLocaleFree) {
  EXPECT_EQ(*ParseDecimal(u"14.35"), 1435.0L / 100.0L);
  EXPECT_EQ(*ParseDecimal(u"0.1357"), 1357.0L / 10000.0L);
  EXPECT_EQ(*ParseDecimal(u"1234567890123456789"), 1234567890123456789.0L);
  EXPECT_EQ(*ParseDecimal(u"0.000000000000000000000000001"), 1.0L / 1e27L);
  EXPECT_EQ(*ParseDecimal(u"-0.5"), -0.5L);
  EXPECT_EQ(*ParseDecimal(u"00014.0740000000000000000000"), *ParseDecimal(u"14.074"));
  EXPECT_FALSE(ParseDecimal(u"14,35"));
  EXPECT_FALSE(ParseDecimal(u"1e3"));
  EXPECT_FALSE(ParseDecimal(u"-"));
  EXPECT_FALSE(ParseDecimal(u"\t1"));
  EXPECT_EQ(FormatDecimal(2.0L / 3.0L, 5), u"0.66667");
  EXPECT_EQ(FormatDecimal(-2.5L, 0), u"-3");
  EXPECT_EQ(FormatDecimal(0.000001L, 5), u"0.00000");
}

}  // namespace
}  // namespace quillet
