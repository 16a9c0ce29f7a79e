#include "host/adif_scan.h"

#include <algorithm>
#include <optional>

#include "host/text.h"

namespace quillet::host {
namespace {

struct Field {
  std::string name;   // upper case
  std::string value;  // empty for markers such as <EOR>
  std::size_t end;    // position after the field
};

// The field whose "<" is at text[at]; nullopt when none starts there.
std::optional<Field> ReadField(std::string_view text, std::size_t at) {
  const std::size_t close = text.find('>', at);
  if (close == std::string_view::npos) return std::nullopt;
  const std::string_view tag = text.substr(at + 1, close - at - 1);
  const std::size_t colon = tag.find(':');
  Field field{UpperAscii(TrimText(tag.substr(0, colon))), {}, close + 1};
  if (colon == std::string_view::npos) return field;
  std::size_t length = 0;
  for (std::size_t i = colon + 1; i < tag.size() && tag[i] >= '0' && tag[i] <= '9'; ++i) {
    length = length * 10 + static_cast<std::size_t>(tag[i] - '0');
    if (length > text.size()) return field;
  }
  field.value = std::string(text.substr(close + 1, length));
  field.end = close + 1 + field.value.size();
  return field;
}

bool StartsWithHeader(std::string_view text) {
  if (UpperAscii(text).find("<EOH>") != std::string::npos) return true;
  // Without an end of header, only a text that begins with a field is records.
  const std::string_view start = TrimText(text);
  return !start.starts_with('<');
}

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return units;
}

// Records in the order of the file; a record without fields is no record.
class RecordCollector {
 public:
  void Add(const Field& field) {
    if (field.name == "EOR") return Close();
    fields_ = true;
    if (field.name == "OPERATOR" && operatorCall_.empty()) operatorCall_ = TrimText(field.value);
    if (field.name == "STATION_CALLSIGN" && stationCall_.empty()) stationCall_ = TrimText(field.value);
    if (field.name == "QSO_DATE" && date_.empty()) date_ = TrimText(field.value);
  }
  void Close() {
    if (fields_) {
      records_.push_back({UpperAscii(!operatorCall_.empty() ? operatorCall_ : stationCall_), date_});
    }
    fields_ = false;
    operatorCall_.clear(), stationCall_.clear(), date_.clear();
  }
  std::vector<ScannedRecord> Take() { return std::move(records_); }

 private:
  bool fields_ = false;
  std::string operatorCall_, stationCall_, date_;
  std::vector<ScannedRecord> records_;
};

std::vector<OperatorCount> CountOperators(const std::vector<ScannedRecord>& records) {
  std::vector<OperatorCount> counts;
  for (const ScannedRecord& record : records) {
    if (record.operatorCall.empty()) continue;
    auto it = std::find_if(counts.begin(), counts.end(),
                           [&](const OperatorCount& count) { return count.call == record.operatorCall; });
    if (it == counts.end()) {
      counts.push_back({record.operatorCall, 1});
    } else {
      ++it->records;
    }
  }
  std::stable_sort(counts.begin(), counts.end(),
                   [](const OperatorCount& a, const OperatorCount& b) { return a.records > b.records; });
  return counts;
}

}  // namespace

long AdifScan::RecordsOf(std::string_view call) const {
  if (call.empty()) {
    return static_cast<long>(std::count_if(records.begin(), records.end(),
                                           [](const ScannedRecord& record) { return record.operatorCall.empty(); }));
  }
  for (const OperatorCount& count : operators) {
    if (count.call == call) return count.records;
  }
  return 0;
}

std::string DecodeAdifBytes(std::string_view bytes) {
  std::string text;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    text = std::string(bytes.substr(3));
  } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    std::u16string units = Utf16Units(bytes.substr(2), bytes[0] == '\xFE');
    units = units.substr(0, units.find(u'\0'));
    return Utf8(units);
  } else {
    text = std::string(bytes);
  }
  return text.substr(0, text.find('\0'));
}

AdifScan ScanAdif(std::string_view text) {
  bool inHeader = StartsWithHeader(text);
  RecordCollector collector;
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
    const auto field = ReadField(text, at);
    if (!field) break;
    at = field->end;
    if (field->name == "EOH") {
      inHeader = false;
    } else if (!inHeader) {
      collector.Add(*field);
    }
  }
  collector.Close();
  AdifScan scan;
  scan.records = collector.Take();
  scan.operators = CountOperators(scan.records);
  return scan;
}

}  // namespace quillet::host
