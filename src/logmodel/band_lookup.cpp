#include "logmodel/band_lookup.h"

#include "logmodel/band_table.h"
#include "runtime/decimal.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// The width of the log's QSOFREQ column, DECIMAL(12,5).
constexpr int kFrequencyDecimals = 5;

// Integer part, ".", fraction part; the fraction of a text without "." is "0".
// The runtime's conversion joins the parts this way, so a text that holds
// no mark gets ".0" appended, and the error message shows it that way.
std::u16string JoinAtDecimalMark(std::u16string_view text) {
  const std::size_t mark = text.find(u'.');
  if (mark == std::u16string_view::npos) return std::u16string(text) + u".0";
  return std::u16string(text);
}

}  // namespace

std::u16string BandToFrequency(std::u16string_view band) {
  const std::u16string name = UpperAscii(band);
  std::u16string frequency;
  // The last band whose name matches wins; names are unique, so there is
  // only one.
  for (const TBandField& entry : BandList) {
    if (entry.Name == name) frequency = FormatDecimal(entry.LowFreq, kFrequencyDecimals);
  }
  return frequency;
}

std::u16string FrequencyToBand(std::u16string_view frequency) {
  // Spaces around the value are not part of it; anything else that is no
  // decimal number is an error the record step reports with the value.
  const std::u16string joined = JoinAtDecimalMark(TrimSpaces(frequency));
  const std::optional<long double> value = ParseDecimal(joined);
  if (!value) throw EConvertError(FormatText(kInvalidFloat, {joined}));
  std::u16string band;
  for (const TBandField& entry : BandList) {
    // Both limits belong to the band: an edge frequency is in the band. A
    // frequency outside every band has none, which is no error.
    if (entry.LowFreq <= *value && *value <= entry.HighFreq) band = entry.Name;
  }
  return band;
}

}  // namespace quillet
