#include "engine/source_lines.h"

#include "platform/files.h"
#include "platform/text_codec.h"
#include "runtime/text.h"

namespace quillet {
namespace {

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

std::u16string DecodeByMark(std::string_view bytes, SourceEncoding& encoding) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    encoding = SourceEncoding::Utf8Bom;
    return Utf8ToUtf16(bytes.substr(3));
  }
  if (StartsWith(bytes, "\xFF\xFE")) {
    encoding = SourceEncoding::Utf16LE;
    return DecodeUtf16(bytes.substr(2), false);
  }
  if (StartsWith(bytes, "\xFE\xFF")) {
    encoding = SourceEncoding::Utf16BE;
    return DecodeUtf16(bytes.substr(2), true);
  }
  if (IsMultiByteUtf8(bytes)) {
    encoding = SourceEncoding::Utf8;
    return Utf8ToUtf16(bytes);
  }
  encoding = SourceEncoding::Ansi;
  return AnsiToUtf16(bytes);
}

}  // namespace

bool IsMultiByteUtf8(std::string_view bytes) {
  bool multiByte = false;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) return false;
    multiByte = true;
    i += length;
  }
  return multiByte;
}

AdifLengths LengthsOf(SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::Utf8:
    case SourceEncoding::Utf8Bom:
      return AdifLengths::Utf8BytesOrUnits;
    case SourceEncoding::Ansi:
    case SourceEncoding::Utf16LE:
    case SourceEncoding::Utf16BE:
      return AdifLengths::Utf16Units;
  }
  return AdifLengths::Utf16Units;
}

std::u16string DecodeSourceText(std::string_view bytes, SourceEncoding& encoding) {
  std::u16string text = DecodeByMark(bytes, encoding);
  const std::size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  return text;
}

void SplitSourceLines(std::u16string_view text, std::vector<std::u16string>& lines) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) {
      lines.emplace_back(text.substr(start));
      return;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;
  }
}

bool LoadSourceLines(std::u16string_view fileName, std::vector<std::u16string>& lines,
                     SourceEncoding* encoding) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) return false;
  SourceEncoding found = SourceEncoding::Ansi;
  const std::u16string text = DecodeSourceText(bytes, found);
  std::string().swap(bytes);  // the decoded text replaces the file's bytes
  SplitSourceLines(text, lines);
  if (encoding != nullptr) *encoding = found;
  return true;
}

}  // namespace quillet
