#include "logmodel/band_table.h"

#include "runtime/decimal.h"

namespace quillet {
namespace {

// Limits go through the same decimal conversion as the frequencies read
// from ADIF, so a frequency written as a limit compares equal to it.
long double Limit(std::u16string_view text) { return *ParseDecimal(text); }

void AddBand(TBandStruct& list, std::u16string_view name, std::u16string_view low, std::u16string_view high) {
  AddBand(list, name, Limit(low), Limit(high));
}

}  // namespace

const TBandStruct BandList = [] {
  TBandStruct list;
  BuildBandList(list);
  return list;
}();

void AddBand(TBandStruct& list, std::u16string_view name, long double lowFreq, long double highFreq) {
  list.push_back(TBandField{std::u16string(name), lowFreq, highFreq});
}

void BuildBandList(TBandStruct& list) {
  list.clear();
  AddBand(list, u"2200M", u"0.1357", u"0.1378");
  AddBand(list, u"630M", u"0.472", u"0.479");
  AddBand(list, u"160M", u"1.81", u"2.0");
  AddBand(list, u"80M", u"3.5", u"3.8");
  AddBand(list, u"60M", u"5.25", u"5.45");
  AddBand(list, u"40M", u"7.0", u"7.2");
  AddBand(list, u"30M", u"10.1", u"10.15");
  AddBand(list, u"20M", u"14.0", u"14.35");
  AddBand(list, u"17M", u"18.068", u"18.168");
  AddBand(list, u"15M", u"21.0", u"21.45");
  AddBand(list, u"12M", u"24.89", u"24.99");
  AddBand(list, u"10M", u"28.0", u"29.7");
  AddBand(list, u"6M", u"50.0", u"54.0");
  AddBand(list, u"4M", u"70.0", u"72.0");
  AddBand(list, u"2M", u"144.0", u"146.0");
  AddBand(list, u"70CM", u"430.0", u"440.0");
  AddBand(list, u"23CM", u"1260.0", u"1300.0");
}

}  // namespace quillet
