#include "engine/sql_text.h"

#include <gtest/gtest.h>

#include "runtime/text.h"
#include "support/text_pos.h"

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

TEST(IsPlainDecimal, AcceptsOnlyDigitsWithOneMark) {
  for (const char16_t* text : {u"14.074", u"145", u" 7.0 ", u".5", u"14.", u"0"}) {
    EXPECT_TRUE(IsPlainDecimal(text)) << Utf16ToUtf8(text);
  }
  for (const char16_t* text :
       {u"", u" ", u".", u"-1", u"+1", u"1e5", u"14,074", u"1.2.3", u"1 2", u"14\t", u"1);DROP"}) {
    EXPECT_FALSE(IsPlainDecimal(text)) << Utf16ToUtf8(text);
  }
}

TEST(TextPos, IsOneBasedAndCaseSensitive) {
  EXPECT_EQ(TextPos(u"INSERT", u"INSERT INTO LOGS (OMCALL)"), 1);
  EXPECT_EQ(TextPos(u"UPDATE", u"INSERT INTO LOGS (OMCALL)"), 0);
  EXPECT_EQ(TextPos(u"LOGS", u"INSERT INTO LOGS"), 13);
  EXPECT_EQ(TextPos(u"logs", u"INSERT INTO LOGS"), 0);
  EXPECT_EQ(TextPos(u"", u"INSERT"), 0);
}

}  // namespace
}  // namespace quillet
