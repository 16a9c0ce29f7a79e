// Reads one value back from a settings file the host wrote, the way its
// readers do: sections and keys in any case, blanks around them ignored,
// the first section of that name only.
#pragma once

#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "host/base/text.h"

namespace quillet::host {

inline std::optional<std::string> SettingValue(const std::string& path, std::string_view section,
                                               std::string_view key) {
  std::ifstream in(path, std::ios::binary);
  bool inSection = false;
  bool sectionSeen = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string_view trimmed = TrimText(line);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      if (sectionSeen) return std::nullopt;
      inSection = EqualsNoCase(TrimText(trimmed.substr(1, trimmed.size() - 2)), section);
      sectionSeen = inSection;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (inSection && equals != std::string::npos && EqualsNoCase(TrimText(line.substr(0, equals)), key)) {
      return line.substr(equals + 1);
    }
  }
  return std::nullopt;
}

}  // namespace quillet::host
