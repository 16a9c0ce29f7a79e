// The reading of a source as a whole, the way the module read it before it
// read sources a piece at a time: decode every byte, split the text into
// lines, then split the lines into header and records. The tests hold the
// streaming reader to exactly these results.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_field_value.h"
#include "engine/source_lines.h"
#include "platform/text_codec.h"
#include "runtime/text.h"

namespace quillet::testing::whole_source {

inline std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

inline std::u16string DecodeSourceText(std::string_view bytes, SourceEncoding& encoding) {
  std::u16string text;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    encoding = SourceEncoding::Utf8Bom;
    text = Utf8ToUtf16(bytes.substr(3));
  } else if (bytes.starts_with("\xFF\xFE")) {
    encoding = SourceEncoding::Utf16LE;
    text = DecodeUtf16(bytes.substr(2), false);
  } else if (bytes.starts_with("\xFE\xFF")) {
    encoding = SourceEncoding::Utf16BE;
    text = DecodeUtf16(bytes.substr(2), true);
  } else if (IsMultiByteUtf8(bytes)) {
    encoding = SourceEncoding::Utf8;
    text = Utf8ToUtf16(bytes);
  } else {
    encoding = SourceEncoding::Ansi;
    text = AnsiToUtf16(bytes);
  }
  const std::size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  return text;
}

inline std::vector<std::u16string> SplitSourceLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;
  }
  return lines;
}

struct Parsed {
  std::vector<std::u16string> header;
  std::vector<std::u16string> records;
};

inline bool IsLayoutBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

inline bool HasNoHeader(const std::vector<std::u16string>& lines) {
  for (const std::u16string& line : lines) {
    if (adif::ContainsUpper(line, u"<EOH>")) return false;
  }
  for (const std::u16string& line : lines) {
    for (char16_t c : line) {
      if (!IsLayoutBlank(c)) return c == u'<';
    }
  }
  return false;
}

inline Parsed Parse(const std::vector<std::u16string>& lines) {
  Parsed parsed;
  std::size_t next = 0;
  if (!HasNoHeader(lines)) {
    while (next < lines.size()) {
      const bool last = adif::ContainsUpper(lines[next], u"<EOH>");
      parsed.header.push_back(lines[next++]);
      if (last) break;
    }
  }
  while (next < lines.size()) {
    std::u16string record;
    bool ended = false;
    while (!ended && next < lines.size()) {
      const std::size_t searchFrom = record.size() >= 4 ? record.size() - 4 : 0;
      record += lines[next++];
      ended = adif::ContainsUpper(record, u"<EOR>", searchFrom);
    }
    parsed.records.push_back(std::move(record));
  }
  return parsed;
}

}  // namespace quillet::testing::whole_source
