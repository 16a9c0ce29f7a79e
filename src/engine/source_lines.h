// Reading an ADIF source file into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// How a source file's bytes were decoded: by its byte-order mark, or in the
// system's ANSI code page when it has none.
enum class SourceEncoding { Ansi, Utf8Bom, Utf16LE, Utf16BE };

// The text of a file's bytes: a byte-order mark selects UTF-8, UTF-16 LE or
// UTF-16 BE, otherwise the bytes are read in the ANSI code page. A NUL
// character ends the text.
std::u16string DecodeSourceText(std::string_view bytes, SourceEncoding& encoding);

// Appends the lines of text to lines. Lines end at CR, LF or CR LF; text
// after the last line break forms one more line when it is not empty.
void SplitSourceLines(std::u16string_view text, std::vector<std::u16string>& lines);

// Fills lines with the file's lines; false when the file cannot be opened
// or read. encoding, when given, receives how the file was decoded.
bool LoadSourceLines(std::u16string_view fileName, std::vector<std::u16string>& lines,
                     SourceEncoding* encoding = nullptr);

}  // namespace quillet
