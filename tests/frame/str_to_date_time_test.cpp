#include "frame/str_to_date_time.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

const ShortFormats kPosix{u"yyyy-mm-dd", u"hh:nn"};

TEST(StrToDateTime, LocaleFormats) {
  struct Row {
    std::u16string_view text;
    TDateTime expected;
  };
  const Row rows[] = {
      {u"2026-03-01", EncodeDate(2026, 3, 1)},
      {u" 2026-3-1 ", EncodeDate(2026, 3, 1)},
      {u"2026-03-01 14:05", EncodeDate(2026, 3, 1) + EncodeTime(14, 5, 0, 0)},
      {u"2026-03-01 14:05:09", EncodeDate(2026, 3, 1) + EncodeTime(14, 5, 9, 0)},
      {u"2024-02-29 0:00", EncodeDate(2024, 2, 29)},
  };
  for (const Row& row : rows)
    EXPECT_DOUBLE_EQ(StrToDateTime(row.text, kPosix), row.expected) << Utf16ToUtf8(row.text);
  // The order of the parts follows the locale's pattern.
  EXPECT_DOUBLE_EQ(StrToDateTime(u"01.03.2026", ShortFormats{u"dd.mm.yyyy", u"hh:nn"}),
                   EncodeDate(2026, 3, 1));
}

TEST(StrToDateTime, RefusesWhatIsNoDate) {
  for (const std::u16string_view text : {u"", u"   ", u"2026-02-30", u"26-03-01", u"2026/03/01", u"2026-03",
                                         u"2026-03-01 25:00", u"2026-03-01 12", u"2026-03-01x", u"14:05"}) {
    try {
      StrToDateTime(text, kPosix);
      ADD_FAILURE() << Utf16ToUtf8(text);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, u"''" + std::u16string(text) + u"'' is not a valid date and time");
    }
  }
}

}  // namespace
}  // namespace quillet
