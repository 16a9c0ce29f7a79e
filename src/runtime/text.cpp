#include "runtime/text.h"

namespace quillet {

// Only a to z: ADIF's names and enumerations are ASCII, and a mapping
// that followed the locale would change other letters differently from
// one machine to the next.
char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

std::u16string UpperAscii(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) c = UpperAscii(c);
  return result;
}

std::u16string_view TrimmedView(std::u16string_view text) {
  std::size_t first = 0;
  std::size_t end = text.size();
  // Every code up to U+0020 counts as blank, controls included, as in the
  // runtime's Trim; characters above (a no-break space) stay.
  while (first < end && text[first] <= u' ') ++first;
  while (end > first && text[end - 1] <= u' ') --end;
  return text.substr(first, end - first);
}

std::u16string Trim(std::u16string_view text) { return std::u16string(TrimmedView(text)); }

std::u16string_view TrimSpaces(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

// Leads C0 and C1 would start overlong two-byte forms and F5 to FF
// sequences beyond U+10FFFF, so none of them begins a valid sequence.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  std::size_t extra = 0;
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    code = lead & 0x07;
  } else {
    return 0;
  }
  // A sequence cut by the end of the bytes counts as none; a caller reading
  // a piece at a time asks again once the next piece has come.
  if (at + extra >= bytes.size()) return 0;
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(bytes[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
  if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return extra + 1;
}

// Lenient: each ill-formed sequence becomes one U+FFFD and decoding goes
// on. Whether bytes are UTF-8 at all is decided before, strictly, with
// Utf8SequenceLength.
std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t code = 0xFFFD;
    std::size_t extra = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F;
      extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F;
      extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07;
      extra = 3;
    }
    ++i;
    for (std::size_t k = 0; k < extra; ++k, ++i) {
      if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
        code = 0xFFFD;
        break;
      }
      code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    // Above the basic plane a character takes two UTF-16 units, a surrogate
    // pair.
    if (code >= 0x10000 && code <= 0x10FFFF) {
      code -= 0x10000;
      result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      result.push_back(code > 0xFFFF ? u'\xFFFD' : static_cast<char16_t>(code));
    }
  }
  return result;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
      // A lone surrogate has no UTF-8 form; it is written as U+FFFD.
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      result.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      result.push_back(static_cast<char>(0xC0 | (code >> 6)));
      result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      result.push_back(static_cast<char>(0xE0 | (code >> 12)));
      result.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      result.push_back(static_cast<char>(0xF0 | (code >> 18)));
      result.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return result;
}

std::u16string IntToText(std::int64_t value) {
  const bool negative = value < 0;
  // The magnitude of the most negative value does not fit an int64_t; it
  // is taken through value + 1, which does.
  auto magnitude =
      negative ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args) {
  std::u16string result;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size()) {
      const char16_t directive = format[i + 1];
      if (directive == u'%') {
        result.push_back(u'%');
        ++i;
        continue;
      }
      // Arguments are already text, so %s and %d are the same. A directive
      // left without an argument prints nothing rather than failing: a message
      // must still be shown when its format and arguments disagree.
      if (directive == u's' || directive == u'd') {
        if (next != args.end()) {
          result.append(next->Text());
          ++next;
        }
        ++i;
        continue;
      }
    }
    result.push_back(format[i]);
  }
  return result;
}

}  // namespace quillet
