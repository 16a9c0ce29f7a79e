// UTF-16 text as the wide strings of the Windows API: wchar_t is 16 bits
// there, so the code units are the same and only the type differs.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quillet::win32 {

// A zero-terminated copy of text for the wide API.
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(std::wstring_view text) { return FromWide(text.data(), text.size()); }

}  // namespace quillet::win32
