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
// record's earlier lines or in the line itself; one that starts in the tail
// ends before any found in the line alone.
std::size_t RecordEnds::EndIn(std::u16string_view line) {
  constexpr std::size_t kKept = kEndOfRecord.size() - 1;
  char16_t seam[2 * kKept];
  const std::size_t head = std::min(line.size(), kKept);
  const std::size_t seamSize = tail_.copy(seam, kKept) + line.copy(seam + tail_.size(), head);
  std::size_t end = std::u16string_view::npos;
  const std::size_t inSeam = adif::FindUpper({seam, seamSize}, kEndOfRecord);
  if (inSeam != std::u16string_view::npos) {
    end = inSeam + kEndOfRecord.size() - tail_.size();
  } else if (const std::size_t inLine = adif::FindUpper(line, kEndOfRecord);
             inLine != std::u16string_view::npos) {
    end = inLine + kEndOfRecord.size();
  }
  if (end != std::u16string_view::npos) {
    tail_.clear();
    return line.find(u'<', end) == std::u16string_view::npos ? line.size() : end;
  }
  if (line.size() >= kKept) {
    tail_.assign(line.substr(line.size() - kKept));
  } else {
    tail_.append(line);
    if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
  }
  return end;
}

void AdifLayout::RecordCounter::Scan(std::u16string_view line) {
  for (;;) {
    const std::size_t taken = ends.EndIn(line);
    open = taken == std::u16string_view::npos;
    if (open) return;
    ++complete;
    if (taken == line.size()) return;
    line.remove_prefix(taken);
  }
}

void AdifLayout::Scan(std::u16string_view line) {
  anyLines_ = true;
  if (!endOfHeader_) {
    if (beforeFirstCharacter_) {
      for (const char16_t c : line) {
        if (IsLayoutBlank(c)) continue;
        beforeFirstCharacter_ = false;
        opensWithSpecifier_ = c == u'<';
        break;
      }
    }
    fromStart_.Scan(line);
    const std::size_t endOfHeader = adif::FindUpper(line, kEndOfHeader);
    if (endOfHeader == std::u16string_view::npos) return;
    endOfHeader_ = true;
    line.remove_prefix(endOfHeader + kEndOfHeader.size());
    if (line.empty()) return;
  }
  afterHeader_.Scan(line);
}

std::size_t AdifLayout::RecordCount() const {
  if (endOfHeader_) return afterHeader_.Count();
  return HasHeader() ? 0 : fromStart_.Count();
}

AdifRecordReader::AdifRecordReader(LineSource& lines, bool hasHeader)
    : lines_(lines), hasHeader_(hasHeader) {}

bool AdifRecordReader::NextLine(std::u16string& line) {
  if (!restPending_) return lines_.NextLine(line);
  restPending_ = false;
  line.swap(rest_);
  return true;
}

const std::vector<std::u16string>& AdifRecordReader::Header() {
  if (headerRead_) return header_;
  headerRead_ = true;
  std::u16string line;
  while (hasHeader_ && NextLine(line)) {
    const std::size_t endOfHeader = adif::FindUpper(line, kEndOfHeader);
    if (endOfHeader != std::u16string::npos) {
      const std::size_t end = endOfHeader + kEndOfHeader.size();
      if (end < line.size()) {
        rest_.assign(line, end);
        restPending_ = true;
        line.resize(end);
      }
    }
    header_.push_back(std::move(line));
    if (endOfHeader != std::u16string::npos) break;
  }
  return header_;
}

bool AdifRecordReader::NextRecord(std::u16string& record) {
  Header();
  std::u16string line;
  bool open = false;
  while (NextLine(line)) {
    const std::size_t taken = ends_.EndIn(line);
    const bool ended = taken != std::u16string::npos;
    if (ended && taken < line.size()) {
      rest_.assign(line, taken);
      restPending_ = true;
      line.resize(taken);
    }
    if (open) {
      record += line;
    } else {
      record.swap(line);
      open = true;
    }
    if (ended) return true;
  }
  return open;
}

std::u16string GetAdifField(std::u16string_view name, std::int32_t maxLen, std::u16string_view text,
                            AdifLengths lengths) {
  const std::u16string pattern = u"<" + UpperAscii(name) + u":";
  const std::size_t at = adif::FindUpper(text, pattern);
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
