#include "host/store/cty_file.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "host/base/host_error.h"

namespace quillet::host {
namespace {

// Fields before the prefix list; the name may itself hold commas, so the
// fields are counted from both ends.
constexpr std::size_t kFieldCount = 10;

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// Blanks around fields, and the CR of a file with CR LF line ends, which
// the split at LF leaves on each line.
std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// The whole text as a number, or none: "5x" is no zone, where a reading
// that stops at the first other character would take it for 5.
std::optional<int> ToInt(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

int RequireInt(std::string_view text, std::string_view what) {
  if (std::optional<int> value = ToInt(TrimBlanks(text))) return *value;
  throw HostError(std::string(what) + " is not a number: \"" + std::string(text) + "\"");
}

// Applies one attribute written after an item, e.g. "(4)" or "[7]".
void ApplyAttribute(CtyItem& item, char open, std::string_view value) {
  switch (open) {
    case '(':
      item.cqZone = RequireInt(value, "CQ zone");
      break;
    case '[':
      item.ituZone = RequireInt(value, "ITU zone");
      break;
    case '{':
      item.continent = std::string(value);
      break;
    default:
      break;  // position and UTC offset: not kept
  }
}

char ClosingOf(char open) {
  switch (open) {
    case '(':
      return ')';
    case '[':
      return ']';
    case '{':
      return '}';
    case '<':
      return '>';
    case '~':
      return '~';
    default:
      return '\0';
  }
}

CtyItem ParseItem(std::string_view text) {
  CtyItem item;
  item.exactCall = text.starts_with('=');
  if (item.exactCall) text.remove_prefix(1);
  std::size_t marks = text.find_first_of("([{<~");
  item.text = std::string(text.substr(0, marks));
  while (marks != std::string_view::npos && marks < text.size()) {
    char open = text[marks];
    std::size_t close = text.find(ClosingOf(open), marks + 1);
    if (close == std::string_view::npos)
      throw HostError("unclosed '" + std::string(1, open) + "' in \"" + std::string(text) + "\"");
    ApplyAttribute(item, open, text.substr(marks + 1, close - marks - 1));
    marks = close + 1;
  }
  if (item.text.empty()) throw HostError("empty item in the prefix list");
  return item;
}

std::vector<CtyItem> ParseItems(std::string_view list) {
  list = TrimBlanks(list);
  // The ";" closes every entity's list: one without it is a line cut short.
  if (!list.ends_with(';')) throw HostError("the prefix list does not end with ';'");
  list.remove_suffix(1);
  std::vector<CtyItem> items;
  for (std::string_view word : SplitAt(list, ' ')) {
    if (!TrimBlanks(word).empty()) items.push_back(ParseItem(TrimBlanks(word)));
  }
  return items;
}

std::string JoinName(const std::vector<std::string_view>& fields) {
  std::string name;
  // Fields 1 to size - 9: everything between the primary prefix and the
  // eight fields that follow the name.
  for (std::size_t i = 1; i + 8 < fields.size(); ++i) {
    if (i > 1) name += ',';
    name += fields[i];
  }
  return name;
}

CtyEntity ParseEntity(std::string_view line) {
  std::vector<std::string_view> fields = SplitAt(line, ',');
  if (fields.size() < kFieldCount) throw HostError("expected 10 fields");
  const std::size_t last = fields.size() - 1;
  CtyEntity entity;
  entity.primaryPrefix = std::string(TrimBlanks(fields[0]));
  entity.name = JoinName(fields);
  entity.dxcc = RequireInt(fields[last - 7], "DXCC entity number");
  entity.continent = std::string(TrimBlanks(fields[last - 6]));
  entity.cqZone = RequireInt(fields[last - 5], "CQ zone");
  entity.ituZone = RequireInt(fields[last - 4], "ITU zone");
  entity.items = ParseItems(fields[last]);
  if (entity.primaryPrefix.empty()) throw HostError("empty primary prefix");
  return entity;
}

}  // namespace

std::vector<CtyEntity> ParseCtyText(std::string_view text) {
  std::vector<CtyEntity> entities;
  std::vector<std::string_view> lines = SplitAt(text, '\n');
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (TrimBlanks(lines[i]).empty()) continue;
    try {
      entities.push_back(ParseEntity(TrimBlanks(lines[i])));
    } catch (const HostError& error) {
      throw HostError("line " + std::to_string(i + 1) + ": " + error.what());
    }
  }
  return entities;
}

std::vector<CtyEntity> ReadCtyFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw HostError("cannot read the country file " + path);
  std::ostringstream text;
  text << file.rdbuf();
  try {
    return ParseCtyText(text.str());
  } catch (const HostError& error) {
    throw HostError(path + ", " + error.what());
  }
}

std::string PlainPrefix(std::string_view primaryPrefix) {
  if (primaryPrefix.starts_with('*')) primaryPrefix.remove_prefix(1);
  return std::string(primaryPrefix.substr(0, primaryPrefix.find('/')));
}

}  // namespace quillet::host
