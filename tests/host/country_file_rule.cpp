#include "tests/host/country_file_rule.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace quillet::host::testing {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
  return parts;
}

std::string Between(const std::string& text, char open, char close) {
  std::size_t start = text.find(open);
  return start == std::string::npos ? "" : text.substr(start + 1, text.find(close, start + 1) - start - 1);
}

bool IsOperatingMark(const std::string& part) {
  static const std::vector<std::string> marks = {"P", "M", "MM", "AM", "QRP", "A"};
  return std::find(marks.begin(), marks.end(), part) != marks.end() ||
         (part.size() == 1 && part[0] >= '0' && part[0] <= '9');
}

std::string CallWithPrefix(const std::string& prefix) {
  return prefix + (std::isdigit(static_cast<unsigned char>(prefix.back())) ? "ABC" : "1ABC");
}

}  // namespace

CountryFile ReadCountryFile(const std::string& path) {
  CountryFile file;
  std::map<int, std::string> dxccPrefixes;
  std::vector<std::vector<std::string>> lines;
  for (const std::string& line : Split(ReadAll(path), '\n')) {
    if (line.find(';') != std::string::npos) lines.push_back(Split(line, ','));
  }
  for (const auto& f : lines) {
    if (f[0][0] != '*') dxccPrefixes.try_emplace(std::stoi(f[2]), f[0].substr(0, f[0].find('/')));
  }
  for (const auto& f : lines) {
    const Answer entity{
        f[3], dxccPrefixes.at(std::stoi(f[2])), std::stoi(f[2]), std::stoi(f[5]), std::stoi(f[4]), ""};
    file.entityPrefixes.emplace_back();
    for (const std::string& word : Split(f[9].substr(0, f[9].find(';')), ' ')) {
      Answer answer = entity;
      bool exact = word[0] == '=';
      answer.item = word.substr(exact ? 1 : 0, word.find_first_of("([{<~") - (exact ? 1 : 0));
      if (!Between(word, '(', ')').empty()) answer.cqZone = std::stoi(Between(word, '(', ')'));
      if (!Between(word, '[', ']').empty()) answer.ituZone = std::stoi(Between(word, '[', ']'));
      if (!Between(word, '{', '}').empty()) answer.continent = Between(word, '{', '}');
      (exact ? file.exact : file.prefixes).try_emplace(answer.item, answer);
      if (!exact) file.entityPrefixes.back().push_back(answer.item);
    }
  }
  return file;
}

std::pair<std::string, bool> LocationOf(const std::string& callsign) {
  std::vector<std::string> parts = Split(callsign, '/');
  while (parts.size() > 1 && IsOperatingMark(parts.back())) parts.pop_back();
  if (parts.size() == 1) return {parts[0], false};
  if (parts.size() == 2 && parts[1].size() < parts[0].size()) return {parts[1], true};
  if (parts.size() == 2) return {parts[0], false};
  return {callsign, false};
}

std::optional<Answer> ResolveByFileRule(const CountryFile& file, const std::string& callsign) {
  if (auto exact = file.exact.find(callsign); exact != file.exact.end()) return exact->second;
  const std::string location = LocationOf(callsign).first;
  for (std::size_t length = location.size(); length > 0; --length) {
    if (auto prefix = file.prefixes.find(location.substr(0, length)); prefix != file.prefixes.end())
      return prefix->second;
  }
  return std::nullopt;
}

std::vector<std::string> AdifCalls(const std::filesystem::path& folder) {
  std::set<std::string> calls;
  const std::regex tag("<call:(\\d+)(:[a-z])?>", std::regex::icase);
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".adi" && entry.path().extension() != ".adif") continue;
    const std::string text = ReadAll(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), tag), end; it != end; ++it) {
      std::string call = text.substr(it->position() + it->length(), std::stoul((*it)[1]));
      std::transform(call.begin(), call.end(), call.begin(), [](unsigned char c) { return std::toupper(c); });
      calls.insert(call);
    }
  }
  return {calls.begin(), calls.end()};
}

std::map<std::string, std::vector<std::string>> Corpus(const CountryFile& file,
                                                       const std::filesystem::path& adifFolder) {
  std::map<std::string, std::vector<std::string>> corpus;
  corpus["1 calls in tests/data"] = AdifCalls(adifFolder);
  for (const auto& [call, answer] : file.exact) corpus["2 exact calls of the file"].push_back(call);
  for (const auto& [prefix, answer] : file.prefixes) {
    corpus["3 one call per prefix"].push_back(CallWithPrefix(prefix));
    corpus["4 PFX/K1ABC"].push_back(prefix + "/K1ABC");
    for (const char* mark : {"/P", "/M", "/QRP", "/7"})
      corpus["5 CALL/P, /M, /QRP, /7"].push_back(CallWithPrefix(prefix) + mark);
  }
  for (const auto& prefixes : file.entityPrefixes) {
    if (!prefixes.empty() && prefixes[0].size() < 5)
      corpus["6 K1ABC/PFX (apart)"].push_back("K1ABC/" + prefixes[0]);
  }
  return corpus;
}

bool Agree(const CountryFile& file, const std::string& callsign, const std::optional<Answer>& a,
           const std::optional<ModuleValues>& r) {
  if (!a || !r) return !a && !r;
  bool same = r->continent == a->continent.substr(0, 2) && r->dxccPrefix == a->dxccPrefix.substr(0, 5) &&
              r->dxcc == std::to_string(a->dxcc) && r->ituZone == std::to_string(a->ituZone).substr(0, 2) &&
              r->cqZone == std::to_string(a->cqZone).substr(0, 2);
  // The main prefix is the prefix that decided; an exact call has its own.
  bool byPrefix = !file.exact.contains(callsign);
  return same && (!byPrefix || r->mainPrefix == a->item.substr(0, 5));
}

std::string Describe(const std::optional<Answer>& a) {
  if (!a) return "none";
  return a->item + " " + a->continent + " " + a->dxccPrefix + " " + std::to_string(a->dxcc) + " itu " +
         std::to_string(a->ituZone) + " cq " + std::to_string(a->cqZone);
}

std::string Describe(const ModuleValues& v) {
  return v.mainPrefix + " " + v.continent + " " + v.dxccPrefix + " " + v.dxcc + " itu " + v.ituZone + " cq " +
         v.cqZone;
}

}  // namespace quillet::host::testing
