// The country file's own rule (cty.csv), written out independently of the
// host's derivation, and a corpus of callsigns to compare answers over:
//
//  1. A callsign listed exactly ("=CALL") resolves to that entry, as written
//     (the file lists the portable forms that matter, "=3D2AG/P").
//  2. Otherwise the longest listed prefix of the callsign's location part
//     decides, with that prefix's own zones and continent:
//     - trailing operating marks are dropped: /P, /M, /MM, /AM, /QRP, /A and
//       a call-area digit (/4), which is not interpreted;
//     - of two parts left, the shorter is the location: DL/K1ABC is in
//       Germany, K1ABC/KH6 in Hawaii (the first when both are as long);
//     - otherwise the whole callsign.
//  Where an item occurs twice, the first in file order counts.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quillet::host::testing {

struct Answer {
  std::string continent;
  std::string dxccPrefix;
  int dxcc = 0;
  int ituZone = 0;
  int cqZone = 0;
  std::string item;  // the prefix or callsign that decided
};

struct CountryFile {
  std::unordered_map<std::string, Answer> exact;
  std::unordered_map<std::string, Answer> prefixes;
  std::vector<std::vector<std::string>> entityPrefixes;  // per entity, file order
};

CountryFile ReadCountryFile(const std::string& path);

// The location part and whether it came from after the slash.
std::pair<std::string, bool> LocationOf(const std::string& callsign);

std::optional<Answer> ResolveByFileRule(const CountryFile& file, const std::string& callsign);

// Every CALL value (upper-cased) of the ADIF files in folder, sorted, once.
std::vector<std::string> AdifCalls(const std::filesystem::path& folder);

// The callsigns to compare over, by category: "1 calls in tests/data" (from
// adifFolder), then calls generated from the file: its exact calls, one
// call per prefix and its portable forms. A category whose name holds
// "(apart)" has its location after the slash (K1ABC/KH6), beyond prefix
// patterns over the callsign as written; it is counted apart.
std::map<std::string, std::vector<std::string>> Corpus(const CountryFile& file,
                                                       const std::filesystem::path& adifFolder);

// The six values the module fills into a QSO, as text.
struct ModuleValues {
  std::string continent;
  std::string dxccPrefix;
  std::string dxcc;
  std::string mainPrefix;
  std::string ituZone;
  std::string cqZone;
};

// Both absent, or the same continent, DXCC prefix, entity and zones at the
// module's column widths, and for a call decided by a prefix that prefix as
// the main prefix (an exact call has a main prefix of its own).
bool Agree(const CountryFile& file, const std::string& callsign, const std::optional<Answer>& expected,
           const std::optional<ModuleValues>& actual);

std::string Describe(const std::optional<Answer>& answer);
std::string Describe(const ModuleValues& values);

}  // namespace quillet::host::testing
