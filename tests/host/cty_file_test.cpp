#include "host/store/cty_file.h"

#include <gtest/gtest.h>

#include "host/base/host_error.h"

namespace quillet::host {
namespace {

TEST(CtyFile, ReadsEntityFieldsAndItemsWithOverrides) {
  const auto entities = ParseCtyText(
      "K,United States,291,NA,5,8,37.60,91.87,5.0,K N =N2NL/MM(7) AA0(4)[7] =KL7X{OC}<1.0/2.0>~-9.0~;\r\n"
      "\n"
      "*TA1,European Turkey,390,EU,20,39,41.02,-28.97,-2.0,TA1;\n");
  ASSERT_EQ(entities.size(), 2u);
  const CtyEntity& usa = entities[0];
  EXPECT_EQ(usa.primaryPrefix, "K");
  EXPECT_EQ(usa.name, "United States");
  EXPECT_EQ(usa.dxcc, 291);
  EXPECT_EQ(usa.continent, "NA");
  EXPECT_EQ(usa.cqZone, 5);
  EXPECT_EQ(usa.ituZone, 8);
  EXPECT_FALSE(usa.IsWaeOnly());
  ASSERT_EQ(usa.items.size(), 5u);
  EXPECT_EQ(usa.items[1].text, "N");
  EXPECT_FALSE(usa.items[1].exactCall);
  EXPECT_FALSE(usa.items[1].cqZone.has_value());
  EXPECT_EQ(usa.items[2].text, "N2NL/MM");
  EXPECT_TRUE(usa.items[2].exactCall);
  EXPECT_EQ(usa.items[2].cqZone, 7);
  EXPECT_EQ(usa.items[3].text, "AA0");
  EXPECT_EQ(usa.items[3].cqZone, 4);
  EXPECT_EQ(usa.items[3].ituZone, 7);
  EXPECT_EQ(usa.items[4].text, "KL7X");
  EXPECT_EQ(usa.items[4].continent, "OC");
  EXPECT_FALSE(usa.items[4].ituZone.has_value());
  EXPECT_TRUE(entities[1].IsWaeOnly());
}

TEST(CtyFile, NameMayHoldCommas) {
  const auto entities = ParseCtyText("VP8,Falkland Is., the,242,SA,13,16,-51.63,58.72,4.0,VP8;");
  ASSERT_EQ(entities.size(), 1u);
  EXPECT_EQ(entities[0].name, "Falkland Is., the");
  EXPECT_EQ(entities[0].dxcc, 242);
}

TEST(CtyFile, MalformedLinesNameTheirLine) {
  const char* cases[] = {
      "DL,Germany,230,EU,14,28,51.0,-10.0,-1.0,DL",      // no ";"
      "DL,Germany,23x,EU,14,28,51.0,-10.0,-1.0,DL;",     // entity number
      "DL,Germany,230,EU,14,28,51.0,-10.0,-1.0,DL(14;",  // unclosed zone
      "DL,Germany,230,EU,14,28,DL;",                     // fields missing
      "DL,Germany,230,EU,14,28,51.0,-10.0,-1.0,= DL;",   // empty item
  };
  for (const char* line : cases) {
    try {
      ParseCtyText(std::string("3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A;\n") + line);
      ADD_FAILURE() << line;
    } catch (const HostError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("line 2:", 0), 0u) << error.what();
    }
  }
}

TEST(CtyFile, PlainPrefixDropsMarks) {
  EXPECT_EQ(PlainPrefix("DL"), "DL");
  EXPECT_EQ(PlainPrefix("*TA1"), "TA1");
  EXPECT_EQ(PlainPrefix("3D2/c"), "3D2");
  EXPECT_EQ(PlainPrefix("*GM/s"), "GM");
}

}  // namespace
}  // namespace quillet::host
