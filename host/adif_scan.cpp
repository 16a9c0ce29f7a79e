#include "host/adif_scan.h"

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

bool HasHeader(std::string_view adif) { return UpperAscii(adif).find("<EOH>") != std::string::npos; }

}  // namespace

std::string FirstOperator(std::string_view adif) {
  bool inHeader = HasHeader(adif);
  std::string operatorCall, stationCall;
  for (std::size_t at = adif.find('<'); at != std::string_view::npos; at = adif.find('<', at)) {
    const auto field = ReadField(adif, at);
    if (!field) break;
    at = field->end;
    if (field->name == "EOH") {
      inHeader = false;
    } else if (inHeader) {
      continue;
    } else if (field->name == "OPERATOR" && operatorCall.empty()) {
      operatorCall = TrimText(field->value);
    } else if (field->name == "STATION_CALLSIGN" && stationCall.empty()) {
      stationCall = TrimText(field->value);
    } else if (field->name == "EOR") {
      if (!operatorCall.empty() || !stationCall.empty()) break;
    }
  }
  return UpperAscii(!operatorCall.empty() ? operatorCall : stationCall);
}

}  // namespace quillet::host
