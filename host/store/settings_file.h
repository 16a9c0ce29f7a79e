// The host's settings file, in ini format: [section] lines and key=value
// lines. The host and its plug-ins share it, so a write keeps every line it
// does not change, comments and other sections included.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::host {

class IniFile {
 public:
  // An absent file reads as empty; raises HostError when it cannot be read.
  static IniFile Load(const std::string& path);

  // The key's value; nullopt when the section or the key is absent.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the key's value, or adds the key (and the section) at the end.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Writes the whole file at once; raises HostError.
  void Save() const;

 private:
  // The line index range [begin, end) of a section's body; begin == npos
  // when the section is absent.
  std::pair<std::size_t, std::size_t> SectionBody(std::string_view section) const;
  std::size_t FindKey(std::pair<std::size_t, std::size_t> body, std::string_view key) const;

  std::string path_;
  std::vector<std::string> lines_;
};

}  // namespace quillet::host
