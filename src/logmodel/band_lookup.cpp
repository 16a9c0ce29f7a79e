#include "logmodel/band_lookup.h"

#include "logmodel/band_table.h"
#include "runtime/decimal.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr int kFrequencyDecimals = 5;

// Integer part, ".", fraction part; the fraction of a text without "." is "0".
std::u16string JoinAtDecimalMark(std::u16string_view text) {
  const std::size_t mark = text.find(u'.');
  if (mark == std::u16string_view::npos) return std::u16string(text) + u".0";
  return std::u16string(text);
}

}  // namespace

std::u16string BandToFrequency(std::u16string_view band) {
  const std::u16string name = UpperAscii(band);
  std::u16string frequency;
  for (const TBandField& entry : BandList) {
    if (entry.Name == name) frequency = FormatDecimal(entry.LowFreq, kFrequencyDecimals);
  }
  return frequency;
}

std::u16string FrequencyToBand(std::u16string_view frequency) {
  const std::u16string joined = JoinAtDecimalMark(TrimSpaces(frequency));
  const std::optional<long double> value = ParseDecimal(joined);
  if (!value) throw EConvertError(FormatText(kInvalidFloat, {joined}));
  std::u16string band;
  for (const TBandField& entry : BandList) {
    if (entry.LowFreq <= *value && *value <= entry.HighFreq) band = entry.Name;
  }
  return band;
}

}  // namespace quillet
