#include "tests/host/reference_adif_scan.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>

#include "host/base/text.h"

namespace quillet::host::reference {
namespace {

// Turns the bytes of a file, given a piece at a time, into its text in
// UTF-8, as the module reads it.
class AdifTextDecoder {
 public:
  std::string Decode(std::string_view bytes, bool last) {
    if (ended_) return {};
    pending_.append(bytes);
    if (kind_ == Kind::Unknown && !DetectKind(last)) return {};
    return kind_ == Kind::Bytes ? TakeBytes() : TakeUtf16(last);
  }

 private:
  enum class Kind { Unknown, Bytes, Utf16LE, Utf16BE };

  // A mark needs three bytes to be told apart from none.
  bool DetectKind(bool last) {
    if (pending_.size() < 3 && !last) return false;
    const std::string_view start = pending_;
    if (start.starts_with("\xEF\xBB\xBF")) {
      kind_ = Kind::Bytes;
      pending_.erase(0, 3);
    } else if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
      kind_ = start[0] == '\xFE' ? Kind::Utf16BE : Kind::Utf16LE;
      pending_.erase(0, 2);
    } else {
      kind_ = Kind::Bytes;
    }
    return true;
  }

  std::string TakeBytes() {
    std::string text = std::move(pending_);
    pending_.clear();
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
      text.resize(nul);
      ended_ = true;
    }
    return text;
  }

  // Whole code units only, and never the first half of a surrogate pair
  // without its second: the pair is one character.
  std::string TakeUtf16(bool last) {
    const bool bigEndian = kind_ == Kind::Utf16BE;
    std::u16string units;
    units.reserve(pending_.size() / 2);
    std::size_t used = 0;
    for (; used + 1 < pending_.size(); used += 2) {
      const auto first = static_cast<unsigned char>(pending_[used]);
      const auto second = static_cast<unsigned char>(pending_[used + 1]);
      const auto unit = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
      if (unit == u'\0') {
        ended_ = true;
        break;
      }
      units.push_back(unit);
    }
    if (!ended_ && !last && !units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
      units.pop_back();
      used -= 2;
    }
    pending_.erase(0, used);
    return Utf8(units);
  }

  Kind kind_ = Kind::Unknown;
  std::string pending_;
  bool ended_ = false;
};

// What must be known of the whole text before its fields are read: its
// size, whether it has an end of header, and its first character that is
// not blank.
class TextSurvey {
 public:
  void Add(std::string_view text) {
    size_ += text.size();
    if (!seenCharacter_) {
      const std::string_view trimmed = TrimText(text);
      if (!trimmed.empty()) {
        seenCharacter_ = true;
        opensWithField_ = trimmed.front() == '<';
      }
    }
    if (endOfHeader_) return;
    const std::string seam = tail_ + UpperAscii(text.substr(0, kKept));
    endOfHeader_ =
        seam.find("<EOH>") != std::string::npos || UpperAscii(text).find("<EOH>") != std::string::npos;
    if (text.size() >= kKept) {
      tail_ = UpperAscii(text.substr(text.size() - kKept));
    } else {
      tail_ += UpperAscii(text);
      if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
    }
  }
  std::size_t Size() const { return size_; }
  // Without an end of header, only a text that begins with a field is records.
  bool StartsWithHeader() const { return endOfHeader_ || !opensWithField_; }

 private:
  std::size_t size_ = 0;
  bool seenCharacter_ = false;
  bool opensWithField_ = false;
  bool endOfHeader_ = false;
  static constexpr std::size_t kKept = 4;
  std::string tail_;  // the last characters seen, upper-cased, too few to hold "<EOH>"
};

// Counts the records and their operators.
class RecordCollector {
 public:
  void Add(std::string_view name, std::string_view value) {
    if (name == "EOR") return Close();
    fields_ = true;
    if (name == "OPERATOR" && operatorCall_.empty()) operatorCall_ = TrimText(value);
    if (name == "STATION_CALLSIGN" && stationCall_.empty()) stationCall_ = TrimText(value);
  }
  // A record without fields is no record.
  void Close() {
    if (fields_) Count(UpperAscii(!operatorCall_.empty() ? operatorCall_ : stationCall_));
    fields_ = false;
    operatorCall_.clear(), stationCall_.clear();
  }
  AdifScan Take() {
    std::stable_sort(scan_.operators.begin(), scan_.operators.end(),
                     [](const OperatorCount& a, const OperatorCount& b) { return a.records > b.records; });
    return std::move(scan_);
  }

 private:
  void Count(const std::string& call) {
    ++scan_.records;
    if (call.empty()) return;
    const auto [entry, added] = operatorIndex_.try_emplace(call, scan_.operators.size());
    if (added) scan_.operators.push_back({call, 0});
    ++scan_.operators[entry->second].records;
  }

  bool fields_ = false;
  std::string operatorCall_, stationCall_;
  std::unordered_map<std::string, std::size_t> operatorIndex_;
  AdifScan scan_;
};

bool HoldsValueWanted(std::string_view name) { return name == "OPERATOR" || name == "STATION_CALLSIGN"; }

// Reads the fields of a text given a piece at a time. Only the values the
// collector wants are held; other values are skipped as they pass.
class FieldScanner {
 public:
  // textSize: the size of the whole text, which bounds the lengths taken.
  FieldScanner(std::size_t textSize, bool startsWithHeader)
      : textSize_(textSize), inHeader_(startsWithHeader) {}

  void Feed(std::string_view text, bool last) {
    if (done_) return;
    const std::size_t skipped = std::min(skip_, text.size());
    text.remove_prefix(skipped);
    skip_ -= skipped;
    window_.erase(0, position_);
    position_ = 0;
    window_.append(text);
    ReadFields(last);
    if (last) collector_.Close();
  }

  AdifScan Take() { return collector_.Take(); }

 private:
  void ReadFields(bool last) {
    for (;;) {
      const std::size_t at = window_.find('<', position_);
      if (at == std::string::npos) {
        position_ = window_.size();
        return;
      }
      const std::size_t close = window_.find('>', at);
      if (close == std::string::npos) {
        // Without a '>' after it no later '<' opens a field either.
        done_ = last;
        position_ = at;
        return;
      }
      if (!ReadField(at, close, last)) return;
    }
  }

  // The field whose '<' is at window_[at] and '>' at window_[close]; false
  // when its value must wait for more text.
  bool ReadField(std::size_t at, std::size_t close, bool last) {
    const std::string_view tag = std::string_view(window_).substr(at + 1, close - at - 1);
    const std::size_t colon = tag.find(':');
    const std::string name = UpperAscii(TrimText(tag.substr(0, colon)));
    std::size_t length = 0;
    bool lengthTaken = colon != std::string_view::npos;
    for (std::size_t i = colon + 1; lengthTaken && i < tag.size() && tag[i] >= '0' && tag[i] <= '9'; ++i) {
      length = length * 10 + static_cast<std::size_t>(tag[i] - '0');
      lengthTaken = length <= textSize_;
    }
    if (!lengthTaken) length = 0;
    const std::size_t valueEnd = close + 1 + length;
    const bool wanted = HoldsValueWanted(name);
    if (wanted && valueEnd > window_.size() && !last) {
      position_ = at;
      return false;
    }
    const std::string_view value =
        wanted ? std::string_view(window_).substr(close + 1, length) : std::string_view();
    Take(name, value);
    if (valueEnd <= window_.size()) {
      position_ = valueEnd;
      return true;
    }
    skip_ = valueEnd - window_.size();
    position_ = window_.size();
    return false;
  }

  void Take(const std::string& name, std::string_view value) {
    if (name == "EOH") {
      inHeader_ = false;
    } else if (!inHeader_) {
      collector_.Add(name, value);
    }
  }

  std::size_t textSize_;
  bool inHeader_;
  bool done_ = false;
  std::string window_;
  std::size_t position_ = 0;
  std::size_t skip_ = 0;  // bytes of a skipped value still to come
  RecordCollector collector_;
};

// Calls use(text, last) for each decoded piece of the file; false when it
// cannot be read.
template <typename Use>
bool ReadAdifFile(const std::string& path, std::size_t pieceBytes, Use use) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  AdifTextDecoder decoder;
  std::string bytes(pieceBytes, '\0');
  for (;;) {
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    const bool last = got < bytes.size();
    if (last && in.bad()) return false;
    use(decoder.Decode(std::string_view(bytes).substr(0, got), last), last);
    if (last) return true;
  }
}

}  // namespace

// Read twice: the size and the header question need the whole text before
// the first field is read.
bool ScanAdifFile(const std::string& path, AdifScan& scan, std::size_t pieceBytes) {
  TextSurvey survey;
  if (!ReadAdifFile(path, pieceBytes, [&](std::string_view text, bool) { survey.Add(text); })) return false;
  FieldScanner scanner(survey.Size(), survey.StartsWithHeader());
  if (!ReadAdifFile(path, pieceBytes, [&](std::string_view text, bool last) { scanner.Feed(text, last); })) {
    return false;
  }
  scan = scanner.Take();
  return true;
}

}  // namespace quillet::host::reference
