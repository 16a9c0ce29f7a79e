// A source file read whole into lines, through the reader the import run
// uses a piece at a time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/source_lines.h"

namespace quillet {

// Fills lines with the file's lines; false when the file cannot be opened
// or read. encoding, when given, receives how the file was decoded.
bool LoadSourceLines(std::u16string_view fileName, std::vector<std::u16string>& lines,
                     SourceEncoding* encoding = nullptr);

}  // namespace quillet
