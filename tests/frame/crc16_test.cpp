#include "frame/crc16.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quillet {
namespace {

TEST(Crc16, XmodemCheckValues) {
  struct Row {
    std::string_view text;
    std::uint16_t crc;
  };
  static constexpr Row kRows[] = {{"123456789", 0x31C3}, {"abc", 0x9DD6}, {"", 0x0000}, {"A", 0x58E5}};
  for (const Row& row : kRows) EXPECT_EQ(Crc16(row.text.data(), row.text.size()), row.crc) << row.text;
}

TEST(Crc16, StringCrcIsOverUtf8) {
  EXPECT_EQ(StringCrc16(u"EBaseException"), 0x7031);
  EXPECT_EQ(StringCrc16(u"EUnsupportedCore"), 0x6559);
  EXPECT_EQ(StringCrc16(u""), 0);
  // U+00E9 is C3 A9 in UTF-8.
  static constexpr unsigned char kUtf8[] = {0xC3, 0xA9};
  EXPECT_EQ(StringCrc16(u"\u00E9"), Crc16(kUtf8, sizeof kUtf8));
}

}  // namespace
}  // namespace quillet
