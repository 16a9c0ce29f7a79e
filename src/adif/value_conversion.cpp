#include "adif/value_conversion.h"

#include "logmodel/band_table.h"
#include "runtime/decimal.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr int kFrequencyDecimals = 5;

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

// Integer part, ".", fraction part; the fraction of a text without "." is "0".
std::u16string JoinAtDecimalMark(std::u16string_view text) {
  const std::size_t mark = text.find(u'.');
  if (mark == std::u16string_view::npos) return std::u16string(text) + u".0";
  return std::u16string(text);
}

}  // namespace

std::u16string QuoteSqlString(std::u16string_view value) {
  std::u16string literal;
  literal.reserve(value.size() + 2);
  AppendQuotedSqlString(literal, value);
  return literal;
}

void AppendQuotedSqlString(std::u16string& out, std::u16string_view value) {
  out += u'\'';
  for (char16_t c : value) {
    if (c == u'\'') out += u'\'';
    out += c;
  }
  out += u'\'';
}

std::int32_t TextPos(std::u16string_view sub, std::u16string_view text) {
  if (sub.empty()) return 0;
  const std::size_t at = text.find(sub);
  return at == std::u16string_view::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

std::u16string BandToFrequency(std::u16string_view band) {
  const std::u16string name = UpperAscii(band);
  std::u16string frequency;
  for (const TBandField& entry : BandList) {
    if (entry.Name == name) frequency = FormatDecimal(entry.LowFreq, kFrequencyDecimals);
  }
  return frequency;
}

std::u16string FrequencyToBand(std::u16string_view frequency) {
  const std::u16string joined = JoinAtDecimalMark(TrimBlanks(frequency));
  const std::optional<long double> value = ParseDecimal(joined);
  if (!value) throw EConvertError(FormatText(kInvalidFloat, {joined}));
  std::u16string band;
  for (const TBandField& entry : BandList) {
    if (entry.LowFreq <= *value && *value <= entry.HighFreq) band = entry.Name;
  }
  return band;
}

bool IsPlainDecimal(std::u16string_view text) {
  text = TrimBlanks(text);
  bool seenMark = false;
  bool seenDigit = false;
  for (char16_t c : text) {
    if (c == u'.' && !seenMark) {
      seenMark = true;
    } else if (c >= u'0' && c <= u'9') {
      seenDigit = true;
    } else {
      return false;
    }
  }
  return seenDigit;
}

}  // namespace quillet
