// The system's ANSI code page through the system's own conversions.
#include "platform/text_codec.h"

#include <windows.h>

#include <climits>

namespace quillet {
namespace {

// The system's conversions count in int; a longer text is converted up to
// INT_MAX, which no source piece reaches.
int Length(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

}  // namespace

std::u16string AnsiToUtf16(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = Length(bytes.size());
  // No MB_ERR_INVALID_CHARS: bytes the code page does not define convert to
  // its default rather than failing the whole piece.
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::u16string text(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), units);
  return text;
}

// A single-byte code page may be cut anywhere. In the double-byte pages
// (932, 936, 949, 950) and in UTF-8, a byte below 0x40 is neither a lead
// nor a trail byte, so it is a character of its own.
std::size_t AnsiWholeCharacters(std::string_view bytes) {
  CPINFO info{};
  if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1) return bytes.size();
  for (std::size_t end = bytes.size(); end > 0; --end) {
    if (static_cast<unsigned char>(bytes[end - 1]) < 0x40) return end;
  }
  return 0;
}

// No flags and no default-character argument: what the code page cannot
// hold becomes its own default character ('?' for the Western pages).
std::string Utf16ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = Length(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace quillet
