// Text helpers of the module. Text is UTF-16 (std::u16string), as the host's
// strings are; lengths and positions count UTF-16 code units.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quillet {

// Maps only the letters a to z to A to Z; everything else stays.
std::u16string UpperAscii(std::u16string_view text);
char16_t UpperAscii(char16_t c);

// Removes characters up to and including the blank (controls and blanks)
// at both ends; TrimmedView gives the same characters without a copy.
std::u16string Trim(std::u16string_view text);
std::u16string_view TrimmedView(std::u16string_view text);
// Removes only the blank U+0020 at both ends, as numbers in ADIF values
// are read.
std::u16string_view TrimSpaces(std::u16string_view text);

std::u16string Utf8ToUtf16(std::string_view text);
// Length of the well-formed multi-byte UTF-8 sequence at bytes[at], or 0
// when there is none there: no overlong forms, no surrogates, nothing
// above U+10FFFF, nothing cut short.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);
std::string Utf16ToUtf8(std::u16string_view text);

std::u16string IntToText(std::int64_t value);

// One argument of FormatText: a text or a number.
// Implicit from text and numbers, so that a call reads like the runtime's
// Format: FormatText(u"%s (%s, line %d)", {message, unit, line}). A number
// is turned into text it owns; a text argument is only viewed, and must
// outlive the call.
class FormatArg {
 public:
  FormatArg(std::u16string_view text) : text_(text) {}                          // NOLINT: implicit by design
  FormatArg(const std::u16string& text) : text_(text) {}                        // NOLINT
  FormatArg(const char16_t* text) : text_(text) {}                              // NOLINT
  FormatArg(std::int64_t number) : owned_(IntToText(number)), text_(owned_) {}  // NOLINT
  FormatArg(int number) : FormatArg(static_cast<std::int64_t>(number)) {}       // NOLINT
  FormatArg(const FormatArg&) = delete;
  FormatArg& operator=(const FormatArg&) = delete;
  std::u16string_view Text() const { return text_; }

 private:
  std::u16string owned_;
  std::u16string_view text_;
};

// Replaces each "%s" and "%d" in format by the next argument, in order;
// "%%" gives "%". Enough for the runtime's message formats.
std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args);

}  // namespace quillet
