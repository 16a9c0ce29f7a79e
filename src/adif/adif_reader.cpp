#include "adif/adif_reader.h"

#include <algorithm>

#include "adif/adif_field_value.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr std::u16string_view kEndOfHeader = u"<EOH>";
constexpr std::u16string_view kEndOfRecord = u"<EOR>";

bool IsLayoutBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

// A terminator completed by this line starts in the tail kept from the
// record's earlier lines or in the line itself.
bool RecordEnds::Completes(std::u16string_view line) {
  constexpr std::size_t kKept = kEndOfRecord.size() - 1;
  char16_t seam[2 * kKept];
  const std::size_t head = std::min(line.size(), kKept);
  const std::size_t seamSize = tail_.copy(seam, kKept) + line.copy(seam + tail_.size(), head);
  if (adif::ContainsUpper({seam, seamSize}, kEndOfRecord) || adif::ContainsUpper(line, kEndOfRecord)) {
    tail_.clear();
    return true;
  }
  if (line.size() >= kKept) {
    tail_.assign(line.substr(line.size() - kKept));
  } else {
    tail_.append(line);
    if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
  }
  return false;
}

void AdifLayout::RecordCounter::Scan(std::u16string_view line) {
  open = !ends.Completes(line);
  if (!open) ++complete;
}

void AdifLayout::Scan(std::u16string_view line) {
  anyLines_ = true;
  if (endOfHeader_) {
    afterHeader_.Scan(line);
    return;
  }
  if (beforeFirstCharacter_) {
    for (const char16_t c : line) {
      if (IsLayoutBlank(c)) continue;
      beforeFirstCharacter_ = false;
      opensWithSpecifier_ = c == u'<';
      break;
    }
  }
  endOfHeader_ = adif::ContainsUpper(line, kEndOfHeader);
  fromStart_.Scan(line);
}

std::size_t AdifLayout::RecordCount() const {
  if (endOfHeader_) return afterHeader_.Count();
  return HasHeader() ? 0 : fromStart_.Count();
}

AdifRecordReader::AdifRecordReader(LineSource& lines, bool hasHeader)
    : lines_(lines), hasHeader_(hasHeader) {}

const std::vector<std::u16string>& AdifRecordReader::Header() {
  if (headerRead_) return header_;
  headerRead_ = true;
  std::u16string line;
  while (hasHeader_ && lines_.NextLine(line)) {
    const bool last = adif::ContainsUpper(line, kEndOfHeader);
    header_.push_back(std::move(line));
    if (last) break;
  }
  return header_;
}

bool AdifRecordReader::NextRecord(std::u16string& record) {
  Header();
  std::u16string line;
  bool open = false;
  while (lines_.NextLine(line)) {
    const bool ended = ends_.Completes(line);
    if (open) {
      record += line;
    } else {
      record = std::move(line);
      open = true;
    }
    if (ended) return true;
  }
  return open;
}

std::u16string GetAdifField(std::u16string_view name, std::int32_t maxLen, std::u16string_view text,
                            AdifLengths lengths) {
  const std::u16string pattern = u"<" + UpperAscii(name) + u":";
  const std::size_t at = UpperAscii(text).find(pattern);
  if (at == std::u16string::npos) return {};
  return adif::ReadSpecifierValue(text, at + pattern.size(), maxLen, lengths);
}

std::u16string HeaderText(const std::vector<std::u16string>& header) {
  std::u16string text;
  for (const std::u16string& line : header) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

}  // namespace quillet
