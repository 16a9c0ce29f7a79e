#include "host/store/settings_file.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

#include "host/base/host_error.h"
#include "host/base/text.h"

namespace quillet::host {
namespace {

constexpr std::size_t kNone = std::string::npos;

// Each system's own line ends, as its editors and its ini functions write
// them; either is read.
#ifdef _WIN32
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

// "[name]" gives name; anything else is no section line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimText(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return TrimText(line.substr(1, line.size() - 2));
}

// Sections and keys match without regard to case, as the module's ini store
// (and the system's profile functions) match them.
bool HasKey(std::string_view line, std::string_view key) {
  const std::size_t equals = line.find('=');
  return equals != kNone && EqualsNoCase(TrimText(line.substr(0, equals)), key);
}

}  // namespace

IniFile IniFile::Load(const std::string& path) {
  IniFile file;
  file.path_ = path;
  std::ifstream in(path, std::ios::binary);
  // No file yet is an empty one: the first run writes it.
  if (!in) return file;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    file.lines_.push_back(line);
  }
  if (in.bad()) throw HostError("cannot read " + path);
  return file;
}

std::pair<std::size_t, std::size_t> IniFile::SectionBody(std::string_view section) const {
  std::size_t begin = kNone;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name) continue;
    if (begin != kNone) return {begin, i};
    if (EqualsNoCase(*name, section)) begin = i + 1;
  }
  return {begin, lines_.size()};
}

std::size_t IniFile::FindKey(std::pair<std::size_t, std::size_t> body, std::string_view key) const {
  if (body.first == kNone) return kNone;
  for (std::size_t i = body.first; i < body.second; ++i) {
    if (HasKey(lines_[i], key)) return i;
  }
  return kNone;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const std::size_t line = FindKey(SectionBody(section), key);
  if (line == kNone) return std::nullopt;
  const std::string_view text = lines_[line];
  return std::string(text.substr(text.find('=') + 1));
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string entry = std::string(key) + "=" + std::string(value);
  auto body = SectionBody(section);
  if (body.first == kNone) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(entry);
    return;
  }
  const std::size_t line = FindKey(body, key);
  if (line != kNone) {
    lines_[line] = entry;
    return;
  }
  // After the section's last non-blank line, so a blank separator stays last.
  std::size_t at = body.second;
  while (at > body.first && TrimText(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), entry);
}

// Written beside the file and renamed over it, so that a reader (the module
// of another import into the same database) finds the old content or the
// new, never a file cut short. Where the rename is refused (a file open on
// Windows), the file is written in place.
void IniFile::Save() const {
  std::ostringstream text;
  for (const std::string& line : lines_) text << line << kLineEnd;
  const std::string content = text.str();
  const std::string temporary = path_ + ".new" + std::to_string(std::random_device()());
  std::ofstream staged(temporary, std::ios::binary | std::ios::trunc);
  staged << content;
  staged.close();
  std::error_code error;
  if (staged) std::filesystem::rename(temporary, path_, error);
  if (!staged || error) {
    std::filesystem::remove(temporary, error);
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) throw HostError("cannot write " + path_);
  }
}

}  // namespace quillet::host
