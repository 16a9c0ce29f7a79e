// The reading of a source as a whole, the way the module read it before it
// read sources a piece at a time: decode every byte, split the text into
// lines, then split the lines into header and records. The tests hold the
// streaming reader to exactly these results.
#pragma once

#include <deque>
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

// Text after "<EOH>" on its line, and text holding a "<" after a record's
// "<EOR>" on its line, is read as if it began a line of its own.
inline Parsed Parse(const std::vector<std::u16string>& lines) {
  Parsed parsed;
  std::deque<std::u16string> pending(lines.begin(), lines.end());
  if (!HasNoHeader(lines)) {
    while (!pending.empty()) {
      std::u16string line = std::move(pending.front());
      pending.pop_front();
      const std::size_t end = adif::FindUpper(line, u"<EOH>");
      if (end != std::u16string::npos && end + 5 < line.size()) {
        pending.push_front(line.substr(end + 5));
        line.resize(end + 5);
      }
      parsed.header.push_back(std::move(line));
      if (end != std::u16string::npos) break;
    }
  }
  while (!pending.empty()) {
    std::u16string record;
    bool ended = false;
    while (!ended && !pending.empty()) {
      const std::size_t searchFrom = record.size() >= 4 ? record.size() - 4 : 0;
      record += pending.front();
      pending.pop_front();
      const std::size_t at = adif::FindUpper(record, u"<EOR>", searchFrom);
      ended = at != std::u16string::npos;
      if (ended && record.find(u'<', at + 5) != std::u16string::npos) {
        pending.push_front(record.substr(at + 5));
        record.resize(at + 5);
      }
    }
    parsed.records.push_back(std::move(record));
  }
  return parsed;
}

}  // namespace quillet::testing::whole_source
