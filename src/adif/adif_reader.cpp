#include "adif/adif_reader.h"

#include "adif/adif_field_value.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr std::u16string_view kEndOfHeader = u"<EOH>";
constexpr std::u16string_view kEndOfRecord = u"<EOR>";

bool IsLayoutBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// A text without "<EOH>" that opens with a data specifier is a file of
// records only: reading it as all header would lose every record.
bool HasNoHeader(const std::vector<std::u16string>& lines) {
  for (const std::u16string& line : lines) {
    if (adif::ContainsUpper(line, kEndOfHeader)) return false;
  }
  for (const std::u16string& line : lines) {
    for (char16_t c : line) {
      if (!IsLayoutBlank(c)) return c == u'<';
    }
  }
  return false;
}

// Moves the header lines out of lines; returns the index of the first record line.
std::size_t ReadHeader(std::vector<std::u16string>& header, std::vector<std::u16string>& lines) {
  std::size_t next = 0;
  while (next < lines.size()) {
    const bool last = adif::ContainsUpper(lines[next], kEndOfHeader);
    header.push_back(std::move(lines[next++]));
    if (last) break;
  }
  return next;
}

// A terminator completed by the line just appended ends within its last
// few characters plus that line, so only that tail is searched again.
// Each line is released once it is part of a record, so a large file is
// never held twice.
void ReadRecords(std::vector<std::u16string>& records, std::vector<std::u16string>& lines,
                 std::size_t next) {
  while (next < lines.size()) {
    std::u16string record;
    bool ended = false;
    while (!ended && next < lines.size()) {
      const std::size_t searchFrom =
          record.size() >= kEndOfRecord.size() - 1 ? record.size() - (kEndOfRecord.size() - 1) : 0;
      if (record.empty()) {
        record = std::move(lines[next]);
      } else {
        record += lines[next];
      }
      std::u16string().swap(lines[next++]);
      ended = adif::ContainsUpper(record, kEndOfRecord, searchFrom);
    }
    records.push_back(std::move(record));
  }
}

}  // namespace

bool ParseAdifText(TAdifData& data, const std::vector<std::u16string>& lines) {
  return ParseAdifText(data, std::vector<std::u16string>(lines));
}

bool ParseAdifText(TAdifData& data, std::vector<std::u16string>&& lines) {
  const std::size_t firstRecordLine = HasNoHeader(lines) ? 0 : ReadHeader(data.Header, lines);
  ReadRecords(data.Records, lines, firstRecordLine);
  const bool anyLines = !lines.empty();
  std::vector<std::u16string>().swap(lines);
  return anyLines;
}

std::u16string GetAdifField(std::u16string_view name, std::int32_t maxLen, std::u16string_view text,
                            AdifLengths lengths) {
  const std::u16string pattern = u"<" + UpperAscii(name) + u":";
  const std::size_t at = UpperAscii(text).find(pattern);
  if (at == std::u16string::npos) return {};
  return adif::ReadSpecifierValue(text, at + pattern.size(), maxLen, lengths);
}

std::u16string HeaderText(const TAdifData& data) {
  std::u16string text;
  for (const std::u16string& line : data.Header) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

}  // namespace quillet
