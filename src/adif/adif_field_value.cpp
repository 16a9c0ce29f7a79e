#include "adif/adif_field_value.h"

#include <algorithm>

#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet::adif {
namespace {

constexpr std::uint64_t kMaxLength = 2147483647;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::size_t CountDigits(std::u16string_view text) {
  std::size_t count = 0;
  while (count < text.size() && IsDigit(text[count])) ++count;
  return count;
}

// The length written in digits; raises the runtime's integer conversion
// error, which names the digits with a "0" before them.
std::size_t LengthValue(std::u16string_view digits) {
  std::uint64_t value = 0;
  for (char16_t c : digits) {
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    if (value > kMaxLength) {
      throw EConvertError(FormatText(kInvalidInteger, {u"0" + std::u16string(digits)}));
    }
  }
  return static_cast<std::size_t>(value);
}

// Where the value starts: past the digits and one more character, or, for
// a data type indicator (":" right after the digits), past the next ">".
std::size_t ValueStart(std::u16string_view rest, std::size_t digitCount) {
  if (digitCount < rest.size() && rest[digitCount] == u':') {
    const std::size_t close = rest.find(u'>', digitCount + 1);
    return close == std::u16string_view::npos ? rest.size() : close + 1;
  }
  return std::min(rest.size(), digitCount + 1);
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool IsAscii(std::u16string_view value) {
  for (char16_t c : value) {
    if (c >= 0x80) return false;
  }
  return true;
}

// The UTF-8 size of one UTF-16 unit; the two halves of a pair make the
// four bytes of their character.
std::size_t Utf8Size(char16_t c) {
  if (c < 0x80) return 1;
  if (c < 0x800 || IsHighSurrogate(c) || IsLowSurrogate(c)) return 2;
  return 3;
}

// How many units of value, from its start, encode in length UTF-8 bytes:
// a character that would pass the length is left out whole.
std::size_t UnitsInBytes(std::u16string_view value, std::size_t length) {
  std::size_t bytes = 0;
  std::size_t units = 0;
  while (units < value.size()) {
    std::size_t step = 1;
    std::size_t size = Utf8Size(value[units]);
    if (IsHighSurrogate(value[units]) && units + 1 < value.size() && IsLowSurrogate(value[units + 1])) {
      step = 2;
      size = 4;
    }
    if (bytes + size > length) break;
    bytes += size;
    units += step;
  }
  return units;
}

// Where a value ends, a well-formed file goes on with the next tag, with
// layout between records, or not at all.
bool EndsAtTagBoundary(std::u16string_view text, std::size_t end) {
  return end >= text.size() || text[end] == u'<' || text[end] <= u' ';
}

// The value of a specifier whose length may count UTF-8 bytes instead of
// units. start is where the value begins in text, unitReading the value
// read as units.
std::u16string_view ByteOrUnitReading(std::u16string_view text, std::size_t start,
                                      std::u16string_view unitReading, std::size_t length) {
  const std::u16string_view available = text.substr(start, kSpecifierWindow);
  const std::u16string_view byteReading = available.substr(0, UnitsInBytes(available, length));
  if (EndsAtTagBoundary(text, start + byteReading.size()) &&
      !EndsAtTagBoundary(text, start + unitReading.size())) {
    return byteReading;
  }
  return unitReading;
}

// At most maxLen units, stopping before a high surrogate whose low half
// would be cut off.
std::u16string_view Cut(std::u16string_view value, std::int32_t maxLen) {
  if (maxLen <= 0) return {};
  std::size_t size = std::min(value.size(), static_cast<std::size_t>(maxLen));
  if (size < value.size() && IsHighSurrogate(value[size - 1]) && IsLowSurrogate(value[size])) --size;
  return value.substr(0, size);
}

}  // namespace

std::u16string ReadSpecifierValue(std::u16string_view text, std::size_t afterColon, std::int32_t maxLen,
                                  AdifLengths lengths) {
  const std::u16string_view rest = text.substr(afterColon, kSpecifierWindow);
  const std::size_t digitCount = CountDigits(rest);
  const std::size_t length = LengthValue(rest.substr(0, digitCount));
  const std::size_t start = ValueStart(rest, digitCount);
  std::u16string_view value = rest.substr(start, length);
  if (lengths == AdifLengths::Utf8BytesOrUnits && !IsAscii(value))
    value = ByteOrUnitReading(text, afterColon + start, value, length);
  return std::u16string(Cut(value, maxLen));
}

bool ContainsUpper(std::u16string_view text, std::u16string_view upperPattern, std::size_t from) {
  return FindUpper(text, upperPattern, from) != std::u16string_view::npos;
}

std::size_t FindUpper(std::u16string_view text, std::u16string_view upperPattern, std::size_t from) {
  if (upperPattern.size() > text.size()) return std::u16string_view::npos;
  for (std::size_t start = from; start + upperPattern.size() <= text.size(); ++start) {
    std::size_t k = 0;
    while (k < upperPattern.size() && UpperAscii(text[start + k]) == upperPattern[k]) ++k;
    if (k == upperPattern.size()) return start;
  }
  return std::u16string_view::npos;
}

}  // namespace quillet::adif
