// The amateur bands the module knows, with their limits in MHz.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

struct TBandField {
  std::u16string Name;  // upper case, e.g. "20M"
  long double LowFreq = 0;
  long double HighFreq = 0;
};

using TBandStruct = std::vector<TBandField>;

void AddBand(TBandStruct& list, std::u16string_view name, long double lowFreq, long double highFreq);
void BuildBandList(TBandStruct& list);

// Built by BuildBandList when the module is loaded, released when it is
// unloaded; const, so no run can change the bands another run reads.
extern const TBandStruct BandList;

}  // namespace quillet
