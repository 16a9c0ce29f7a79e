#include "logmodel/band_lookup.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

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

}  // namespace
}  // namespace quillet
