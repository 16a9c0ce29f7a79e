#include "support/source_file_lines.h"

namespace quillet {

bool LoadSourceLines(std::u16string_view fileName, std::vector<std::u16string>& lines,
                     SourceEncoding* encoding) {
  SourceEncoding found = SourceEncoding::Ansi;
  if (!DetectSourceEncoding(fileName, found)) return false;
  SourceLineReader reader(fileName, found);
  std::u16string line;
  while (reader.NextLine(line)) lines.push_back(std::move(line));
  if (encoding != nullptr) *encoding = found;
  return reader.IsOpen() && !reader.Failed();
}

}  // namespace quillet
