#include "runtime/decimal.h"

#include <cmath>
#include <cstdint>

namespace quillet {
namespace {

// 10^27 is the largest power of ten that a 64-bit mantissa holds exactly.
constexpr int kMaxExactPower = 27;
// 19 digits always fit an unsigned 64-bit mantissa.
constexpr int kMaxMantissaDigits = 19;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// By repeated multiplication: every power up to 10^27 is then exact in a
// long double, where std::pow may be off by one unit in the last place.
long double PowerOfTen(int exponent) {
  long double power = 1;
  for (int i = 0; i < exponent; ++i) power *= 10;
  return power;
}

// The digits of a number without its sign: the first 19 significant digits
// as an integer mantissa, scaled by 10^exponent.
struct DecimalDigits {
  std::uint64_t mantissa = 0;
  int exponent = 0;
  int digitCount = 0;
  int significant = 0;

  void Add(char16_t c, bool inFraction) {
    ++digitCount;
    // Leading zeros are not significant: they take no room in the mantissa,
    // but each one after the mark still moves it one place right.
    if (significant == 0 && c == u'0') {
      if (inFraction) --exponent;
      return;
    }
    if (significant < kMaxMantissaDigits) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - u'0');
      ++significant;
      if (inFraction) --exponent;
      return;
    }
    // Digits beyond the 19th are dropped; no frequency carries that many.
    if (!inFraction) ++exponent;
  }

  long double Value() const {
    // Mantissa and power are both exact, so one multiplication or division
    // rounds once: the nearest long double to the decimal number.
    const long double value = static_cast<long double>(mantissa);
    if (exponent >= 0) {
      return exponent <= kMaxExactPower ? value * PowerOfTen(exponent) : value * std::pow(10.0L, exponent);
    }
    return -exponent <= kMaxExactPower ? value / PowerOfTen(-exponent) : value / std::pow(10.0L, -exponent);
  }
};

// Only U+0020: a tab or a line break around a number is not a blank of
// a value, and makes the text no number.
std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<long double> ParseDecimal(std::u16string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  DecimalDigits digits;
  bool inFraction = false;
  for (char16_t c : text) {
    if (c == u'.' && !inFraction) {
      inFraction = true;
    } else if (IsDigit(c)) {
      digits.Add(c, inFraction);
    } else {
      return std::nullopt;
    }
  }
  if (digits.digitCount == 0) return std::nullopt;
  const long double value = digits.Value();
  return negative ? -value : value;
}

// The digits come from the rounded, scaled value one at a time, not from
// printf: the C library would consult the locale for the decimal mark.
// The text for NaN and infinity is the runtime's own.
std::u16string FormatDecimal(long double value, int decimals) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  const long double scaled = std::round(std::fabs(value) * PowerOfTen(decimals));
  std::u16string digits;
  for (long double rest = scaled; rest >= 1; rest = std::floor(rest / 10)) {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + static_cast<int>(std::fmod(rest, 10))));
  }
  if (digits.size() < static_cast<std::size_t>(decimals) + 1) {
    digits.insert(0, decimals + 1 - digits.size(), u'0');
  }
  if (decimals > 0) digits.insert(digits.size() - decimals, 1, u'.');
  // A value that rounds to zero prints as zero, without a sign.
  if (value < 0 && scaled != 0) digits.insert(0, 1, u'-');
  return digits;
}

}  // namespace quillet
