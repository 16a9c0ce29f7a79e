#include "adif/value_conversion.h"

#include <gtest/gtest.h>

#include "runtime/decimal.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

TEST(QuoteSqlString, DoublesEveryApostropheAndNothingElse) {
  const struct {
    const char16_t* value;
    const char16_t* literal;
  } cases[] = {
      {u"", u"''"},
      {u"O'NEIL", u"'O''NEIL'"},
      {u"A'''B", u"'A''''''B'"},
      {u"'", u"''''"},
      {u"I'M \"OK\"", u"'I''M \"OK\"'"},
      {u"\"\"", u"'\"\"'"},
      {u"DL1ABC ñ", u"'DL1ABC ñ'"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteSqlString(c.value), c.literal) << Utf16ToUtf8(c.literal);
}

TEST(TextPos, IsOneBasedAndCaseSensitive) {
  EXPECT_EQ(TextPos(u"INSERT", u"INSERT INTO LOGS (OMCALL)"), 1);
  EXPECT_EQ(TextPos(u"UPDATE", u"INSERT INTO LOGS (OMCALL)"), 0);
  EXPECT_EQ(TextPos(u"LOGS", u"INSERT INTO LOGS"), 13);
  EXPECT_EQ(TextPos(u"logs", u"INSERT INTO LOGS"), 0);
  EXPECT_EQ(TextPos(u"", u"INSERT"), 0);
}

TEST(BandToFrequency, GivesTheLowerEdgeWithFiveDecimals) {
  EXPECT_EQ(BandToFrequency(u"20m"), u"14.00000");
  EXPECT_EQ(BandToFrequency(u"160M"), u"1.81000");
  EXPECT_EQ(BandToFrequency(u"70cm"), u"430.00000");
  EXPECT_EQ(BandToFrequency(u"2200M"), u"0.13570");
  EXPECT_EQ(BandToFrequency(u"17M"), u"18.06800");
  EXPECT_EQ(BandToFrequency(u"11M"), u"");
  EXPECT_EQ(BandToFrequency(u""), u"");
}

TEST(FrequencyToBand, FindsTheBandHoldingTheFrequency) {
  const struct {
    const char16_t* frequency;
    const char16_t* band;
  } cases[] = {
      {u"14.074", u"20M"}, {u"28.5", u"10M"},    {u"145", u"2M"},      {u"27.0", u""},
      {u"14.35", u"20M"},  {u"14.36", u""},      {u"1.8", u""},        {u"1.81", u"160M"},
      {u"2.0", u"160M"},   {u"2", u"160M"},      {u"0.136", u"2200M"}, {u"0.475", u"630M"},
      {u"1300", u"23CM"},  {u" 7.074 ", u"40M"}, {u"+21.0", u"15M"},   {u"-14.074", u""},
      {u".4750", u"630M"}, {u"14.", u"20M"},     {u"", u""},           {u"014.07400", u"20M"},
  };
  for (const auto& c : cases) EXPECT_EQ(FrequencyToBand(c.frequency), c.band) << Utf16ToUtf8(c.frequency);
}

TEST(FrequencyToBand, RaisesForTextThatIsNoDecimalNumber) {
  const struct {
    const char16_t* frequency;
    const char16_t* message;
  } cases[] = {
      {u"14,074", u"'14,074.0' is not a valid floating point value"},
      {u"14.0.74", u"'14.0.74' is not a valid floating point value"},
      {u"1.4074E1", u"'1.4074E1' is not a valid floating point value"},
      {u"14 074", u"'14 074.0' is not a valid floating point value"},
      {u"MHz", u"'MHz.0' is not a valid floating point value"},
      {u".", u"'.' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    try {
      FrequencyToBand(c.frequency);
      ADD_FAILURE() << "no error for " << Utf16ToUtf8(c.frequency);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, c.message);
    }
  }
}

TEST(IsPlainDecimal, AcceptsOnlyDigitsWithOneMark) {
  for (const char16_t* text : {u"14.074", u"145", u" 7.0 ", u".5", u"14.", u"0"}) {
    EXPECT_TRUE(IsPlainDecimal(text)) << Utf16ToUtf8(text);
  }
  for (const char16_t* text :
       {u"", u" ", u".", u"-1", u"+1", u"1e5", u"14,074", u"1.2.3", u"1 2", u"14\t", u"1);DROP"}) {
    EXPECT_FALSE(IsPlainDecimal(text)) << Utf16ToUtf8(text);
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
