// Reading an ADIF source file into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_reader.h"

namespace quillet {

// How a source file's bytes were decoded: by its byte-order mark; without
// one, as UTF-8 when they are UTF-8 beyond doubt, otherwise in the system's
// ANSI code page.
enum class SourceEncoding { Ansi, Utf8, Utf8Bom, Utf16LE, Utf16BE };

// The text of a file's bytes: a byte-order mark selects UTF-8, UTF-16 LE or
// UTF-16 BE. Without one, bytes that are valid UTF-8 and hold at least one
// multi-byte sequence are read as UTF-8: most programs write UTF-8 without
// a mark, and text in a single-byte code page is almost never valid UTF-8
// once it holds a byte above 0x7F. Anything else is read in the ANSI code
// page. A NUL character ends the text.
std::u16string DecodeSourceText(std::string_view bytes, SourceEncoding& encoding);

// How the data specifiers of a text decoded this way count their lengths.
AdifLengths LengthsOf(SourceEncoding encoding);

// Whether bytes are well-formed UTF-8 with at least one multi-byte sequence.
bool IsMultiByteUtf8(std::string_view bytes);

// Appends the lines of text to lines. Lines end at CR, LF or CR LF; text
// after the last line break forms one more line when it is not empty.
void SplitSourceLines(std::u16string_view text, std::vector<std::u16string>& lines);

// Fills lines with the file's lines; false when the file cannot be opened
// or read. encoding, when given, receives how the file was decoded.
bool LoadSourceLines(std::u16string_view fileName, std::vector<std::u16string>& lines,
                     SourceEncoding* encoding = nullptr);

}  // namespace quillet
