#include "host/base/text.h"

#include <cstdint>

namespace quillet::host {
namespace {

// What stands for a code that UTF-8 or UTF-16 cannot carry: a lone
// surrogate, an overlong form or a cut sequence. The host reads and writes
// files written by others, so it replaces and goes on rather than fail.
constexpr char32_t kReplacement = 0xFFFD;

// Writes the UTF-8 bytes of code at out; answers the end of what it wrote.
char* PutUtf8(char* out, char32_t code) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

void AppendUtf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
    return;
  }
  code -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (code >> 10));
  out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

// Decodes one UTF-8 sequence at text[i], advancing i.
char32_t NextCode(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<std::uint8_t>(text[i++]);
  if (lead < 0x80) return lead;
  // C0 and C1 could only start overlong forms, F5 and above codes beyond
  // U+10FFFF: no lead byte at all.
  int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (lead >= 0xF5 || extra < 0) return kReplacement;
  char32_t code = lead & (0x3F >> extra);
  for (int n = 0; n < extra; ++n) {
    if (i >= text.size() || (static_cast<std::uint8_t>(text[i]) & 0xC0) != 0x80) return kReplacement;
    code = (code << 6) | (static_cast<std::uint8_t>(text[i++]) & 0x3F);
  }
  // The least code each length may carry: below it the form is overlong.
  static constexpr char32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < kLowest[extra] || code > 0x10FFFF || surrogate ? kReplacement : code;
}

// SQLite's own NOCASE folds only ASCII as well, so the host compares names
// as its database compares the columns they are stored in.
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

// One pass to size the result and one to fill it, with no appends: the host
// converts every statement of an import this way.
std::string Utf8(std::u16string_view text) {
  std::size_t size = 0;
  bool ascii = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      size += 1;
    } else if (unit < 0x800) {
      size += 2, ascii = false;
    } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      size += 4, ascii = false, ++i;
    } else {
      size += 3, ascii = false;  // also a lone surrogate, as U+FFFD
    }
  }
  std::string out(size, '\0');
  char* at = out.data();
  if (ascii) {
    for (const char16_t unit : text) *at++ = static_cast<char>(unit);
    return out;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = kReplacement;
    }
    at = PutUtf8(at, code);
  }
  return out;
}

std::u16string Utf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) AppendUtf16(out, NextCode(text, i));
  return out;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

// Equal lengths first: ASCII folding never changes a UTF-8 length.
bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// Every byte up to the space is blank, as the module's Trim has it;
// UTF-8 bytes of other characters are all above 0x7F and stay.
std::string_view TrimText(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace quillet::host
