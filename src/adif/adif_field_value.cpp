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

}  // namespace

std::u16string ReadSpecifierValue(std::u16string_view text, std::size_t afterColon, std::int32_t maxLen) {
  const std::u16string_view rest = text.substr(afterColon, kSpecifierWindow);
  const std::size_t digitCount = CountDigits(rest);
  const std::size_t length = LengthValue(rest.substr(0, digitCount));
  const std::u16string_view value = rest.substr(ValueStart(rest, digitCount), length);
  if (maxLen <= 0) return {};
  return std::u16string(value.substr(0, static_cast<std::size_t>(maxLen)));
}

bool ContainsUpper(std::u16string_view text, std::u16string_view upperPattern, std::size_t from) {
  if (upperPattern.size() > text.size()) return false;
  for (std::size_t start = from; start + upperPattern.size() <= text.size(); ++start) {
    std::size_t k = 0;
    while (k < upperPattern.size() && UpperAscii(text[start + k]) == upperPattern[k]) ++k;
    if (k == upperPattern.size()) return true;
  }
  return false;
}

}  // namespace quillet::adif
