#include "logmodel/band_table.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "runtime/decimal.h"

namespace quillet {
namespace {

// Read by every run after the load; nothing may write it.
static_assert(std::is_const_v<decltype(BandList)>);

TEST(BandList, HoldsThe17BandsInOrder) {
  ASSERT_EQ(BandList.size(), 17u);
  EXPECT_EQ(BandList.front().Name, u"2200M");
  EXPECT_EQ(BandList.back().Name, u"23CM");
  for (std::size_t i = 0; i < BandList.size(); ++i) {
    EXPECT_LT(BandList[i].LowFreq, BandList[i].HighFreq) << i;
    if (i > 0) {
      EXPECT_LT(BandList[i - 1].HighFreq, BandList[i].LowFreq) << i;
    }
  }
  EXPECT_EQ(BandList[2].Name, u"160M");
  EXPECT_EQ(BandList[2].LowFreq, *ParseDecimal(u"1.81"));
}

TEST(BandList, LimitsEqualTheSameTextParsed) {
  const TBandField& band20 = BandList[7];
  EXPECT_EQ(band20.Name, u"20M");
  EXPECT_EQ(band20.HighFreq, *ParseDecimal(u"14.35"));
  EXPECT_EQ(band20.HighFreq, *ParseDecimal(u"14.350000"));
  EXPECT_EQ(band20.HighFreq, 1435.0L / 100.0L);
  EXPECT_EQ(BandList[0].LowFreq, 1357.0L / 10000.0L);
  EXPECT_EQ(BandList[8].LowFreq, 18068.0L / 1000.0L);
}

TEST(BuildBandList, EmptiesTheListFirst) {
  TBandStruct list;
  AddBand(list, u"11M", 26.965L, 27.405L);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].HighFreq, 27.405L);
  BuildBandList(list);
  EXPECT_EQ(list.size(), 17u);
  EXPECT_EQ(list[0].Name, u"2200M");
}

}  // namespace
}  // namespace quillet
