// The system's ANSI code page. On Windows it is the system's; the posix
// stand-in reads UTF-8, taking bytes that are not valid UTF-8 as
// Windows-1252, and writes UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

std::u16string AnsiToUtf16(std::string_view bytes);
// How many of bytes, read from the start of a longer text, decode on their
// own exactly as within that text: up to the last byte that is never part
// of a character of several bytes, so that the rest decodes from there on.
std::size_t AnsiWholeCharacters(std::string_view bytes);
// Characters the code page cannot hold become its default character.
std::string Utf16ToAnsi(std::u16string_view text);

}  // namespace quillet
