// Callsign resolution over full-size dictionaries: the compiled fast path
// against the straightforward scan, in the same run. Three dictionaries:
//  * Mixed: 20,000 UNIQUECALL entries (most of them literal callsigns),
//    300 PROVINCE and 400 COUNTRY patterns of assorted shapes;
//  * CountryFileShaped: generated in the layout the reference host derives
//    from the country file: 18,645 "^CALL$", 7,455 "^PFX.*" longest first
//    and 283 "^PFX.*";
//  * CountryFile (when the host's dictionary library is built): the rows
//    the reference host derives from the installed country file, resolving
//    the callsigns of the installed super-check-partial file with one in ten
//    of the country file's own exact callsigns among them.
// Each resolves a mix of unique calls, calls resolved by a province or a
// country, and calls that nothing resolves. BM_BuildIndex_CountryFile is the
// one-off cost of compiling the country file's dictionaries once loaded.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "refdata/dictionaries.h"
#include "runtime/text.h"
#include "support/ascii.h"
#include "support/callsign_scan.h"

#include "host/base/host_error.h"
#include "host/store/cty_file.h"
#include "host/store/dictionary_derivation.h"

namespace quillet {
namespace {

struct Dictionary {
  TUniqueCallList uniqueCalls;
  TProvinceList provinces;
  TCountryList countries;
  std::vector<std::u16string> calls;

  Dictionaries Built() const { return Dictionaries(uniqueCalls, provinces, countries); }
};

class Generator {
 public:
  Generator() : random_(20240601) {}
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  char Letter() { return static_cast<char>('A' + Below(26)); }
  char Digit() { return static_cast<char>('0' + Below(10)); }
  char LetterOrDigit() { return Below(4) == 0 ? Digit() : Letter(); }
  std::string Prefix() {
    static const char* const prefixes[] = {"K",  "W", "N", "AA", "VE", "G",  "DL", "JA", "UA", "9A",
                                           "EA", "F", "I", "PY", "LU", "ZS", "VK", "OH", "SM", "HB9"};
    return prefixes[Below(20)];
  }
  std::string Call(const std::string& prefix) {
    std::string call = prefix + Digit();
    for (int i = 0, n = 1 + Below(3); i < n; ++i) call += Letter();
    return call;
  }

 private:
  std::mt19937 random_;
};

TUniqueCallField UniqueCall(std::u16string pattern) {
  TUniqueCallField entry;
  entry.Callsign = std::move(pattern);
  return entry;
}
TProvinceField Province(std::u16string pattern) {
  TProvinceField entry;
  entry.PrefixList = std::move(pattern);
  return entry;
}
TCountryField Country(std::u16string pattern) {
  TCountryField entry;
  entry.PrefixList = std::move(pattern);
  return entry;
}

// --- Mixed ---

std::u16string MixedShape(Generator& g, int kind) {
  const std::string p = g.Prefix();
  const std::string letter(1, g.Letter());
  switch (kind % 6) {
    case 0:
      return Ascii("^" + p + "[0-9]");
    case 1:
      return Ascii(p + std::string(1, g.Digit()) + "[A-Z]{1,3}");
    case 2:
      return Ascii("(" + p + "|" + letter + ")[0-9].*");
    case 3:
      return Ascii(p + "[0-9]" + letter + ".*");
    case 4:
      return Ascii("^" + letter + "[A-Z]?[0-9][A-Z]+$");
    default:
      return Ascii("(K|W|N)[0-9]" + letter + ".*");
  }
}

Dictionary MixedDictionary() {
  Generator g;
  Dictionary d;
  for (int i = 0; i < 20000; ++i) {
    std::u16string call = Ascii(g.Call(g.Prefix()));
    if (i % 50 == 0) call += u"/[0-9P]";  // a few non-literal ones
    d.uniqueCalls.push_back(UniqueCall(call));
  }
  for (int i = 0; i < 300; ++i) d.provinces.push_back(Province(MixedShape(g, i)));
  for (int i = 0; i < 400; ++i) d.countries.push_back(Country(MixedShape(g, i + 3)));
  for (int i = 0; i < 1000; ++i)
    d.calls.push_back(i % 4 == 0 ? d.uniqueCalls[g.Below(20000)].Callsign : Ascii(g.Call(g.Prefix())));
  return d;
}

// --- CountryFileShaped ---

// Distinct prefixes of one to four units, longest first.
std::vector<std::string> LongestFirst(Generator& g, std::size_t count, std::set<std::string>& seen) {
  std::vector<std::string> prefixes;
  while (prefixes.size() < count) {
    std::string prefix(1, g.Letter());
    for (int i = 0, n = g.Below(4); i < n; ++i) prefix += g.LetterOrDigit();
    if (seen.insert(prefix).second) prefixes.push_back(prefix);
  }
  std::stable_sort(prefixes.begin(), prefixes.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return prefixes;
}

Dictionary CountryFileShapedDictionary() {
  Generator g;
  Dictionary d;
  std::set<std::string> seen;
  const std::vector<std::string> provinces = LongestFirst(g, 7455, seen);
  const std::vector<std::string> countries = LongestFirst(g, 283, seen);
  for (const std::string& p : provinces) d.provinces.push_back(Province(Ascii("^" + p + ".*")));
  for (const std::string& p : countries) d.countries.push_back(Country(Ascii("^" + p + ".*")));
  std::vector<std::string> uniqueCalls;
  for (int i = 0; i < 18645; ++i) {
    std::string call = g.Call(provinces[g.Below(7455)]);
    if (i % 10 == 0) call += "/P";
    d.uniqueCalls.push_back(UniqueCall(Ascii("^" + call + "$")));
    uniqueCalls.push_back(call);
  }
  for (int i = 0; i < 2000; ++i) {
    if (i % 10 == 0) {
      d.calls.push_back(Ascii(uniqueCalls[g.Below(18645)]));
    } else {
      const auto& prefixes = i % 10 < 7 ? provinces : countries;
      d.calls.push_back(Ascii(g.Call(prefixes[g.Below(static_cast<int>(prefixes.size()))])));
    }
  }
  return d;
}

// --- CountryFile ---

TUniqueCallField UniqueCallOf(const host::DictionaryRow& row) {
  TUniqueCallField entry;
  entry.Callsign = Utf8ToUtf16(row.pattern);
  entry.Continent = Utf8ToUtf16(row.continent);
  entry.ARRLPrefix = Utf8ToUtf16(row.arrlPrefix);
  entry.Prefix = Utf8ToUtf16(row.prefix);
  entry.DXCC = IntToText(row.dxcc);
  entry.ITUZone = IntToText(row.ituZone);
  entry.CQZone = IntToText(row.cqZone);
  return entry;
}
TProvinceField ProvinceOf(const host::DictionaryRow& row) {
  const TUniqueCallField u = UniqueCallOf(row);
  TProvinceField entry;
  entry.PrefixList = u.Callsign;
  entry.Continent = u.Continent;
  entry.ARRLPrefix = u.ARRLPrefix;
  entry.Prefix = u.Prefix;
  entry.DXCC = u.DXCC;
  entry.ITUZone = u.ITUZone;
  entry.CQZone = u.CQZone;
  return entry;
}
TCountryField CountryOf(const host::DictionaryRow& row) {
  const TUniqueCallField u = UniqueCallOf(row);
  TCountryField entry;
  entry.PrefixList = u.Callsign;
  entry.Continent = u.Continent;
  entry.ARRLPrefix = u.ARRLPrefix;
  entry.DXCC = u.DXCC;
  entry.ITUZone = u.ITUZone;
  entry.CQZone = u.CQZone;
  return entry;
}

// The callsigns of the super-check-partial file, comment lines left out.
std::vector<std::string> ScpCalls() {
  std::vector<std::string> calls;
  std::ifstream file(QUILLET_SCP_FILE);
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') calls.push_back(line);
  }
  return calls;
}

std::vector<std::string> ExactCalls(const std::vector<host::CtyEntity>& entities) {
  std::vector<std::string> calls;
  for (const host::CtyEntity& entity : entities) {
    for (const host::CtyItem& item : entity.items) {
      if (item.exactCall) calls.push_back(item.text);
    }
  }
  return calls;
}

// Empty when the country file cannot be read: the benchmark then reports
// that it was skipped.
Dictionary CountryFileDictionary() {
  std::vector<host::CtyEntity> entities;
  try {
    entities = host::ReadCtyFile(QUILLET_CTY_FILE);
  } catch (const host::HostError&) {
    return {};
  }
  const host::DictionaryRows rows = host::DeriveDictionaryRows(entities);
  Dictionary d;
  for (const auto& row : rows.uniqueCalls) d.uniqueCalls.push_back(UniqueCallOf(row));
  for (const auto& row : rows.provinces) d.provinces.push_back(ProvinceOf(row));
  for (const auto& row : rows.countries) d.countries.push_back(CountryOf(row));
  const std::vector<std::string> scp = ScpCalls();
  const std::vector<std::string> exact = ExactCalls(entities);
  Generator g;
  for (int i = 0; i < 4000 && !scp.empty() && !exact.empty(); ++i) {
    const auto& from = i % 10 == 0 ? exact : scp;
    d.calls.push_back(Ascii(from[g.Below(static_cast<int>(from.size()))]));
  }
  return d;
}

// --- Runs ---

template <Dictionary (*Make)()>
const Dictionary& The() {
  static const Dictionary dictionary = Make();
  return dictionary;
}

std::optional<CallsignReference> ResolveCallsign(const Dictionaries& dictionaries,
                                                 std::u16string_view callsign) {
  return dictionaries.ResolveCallsign(callsign);
}

template <auto Resolve>
void Run(benchmark::State& state, const Dictionary& dictionary) {
  const auto& calls = dictionary.calls;
  if (calls.empty()) {
    state.SkipWithError("no calls to resolve");
    return;
  }
  const Dictionaries dictionaries = dictionary.Built();  // compiles once
  std::size_t next = 0;
  std::int64_t found = 0;
  for (auto _ : state) {
    found += Resolve(dictionaries, calls[next]).has_value();
    next = (next + 1) % calls.size();
  }
  benchmark::DoNotOptimize(found);
  state.counters["resolved"] =
      benchmark::Counter(static_cast<double>(found) / static_cast<double>(state.iterations()));
}

// The dictionaries compile their patterns once, as they are built.
void Build(benchmark::State& state, const Dictionary& dictionary) {
  if (dictionary.calls.empty()) {
    state.SkipWithError("no calls to resolve");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(dictionary.Built().ResolveCallsign(dictionary.calls[0]));
}

void BM_ResolveCallsign_Mixed(benchmark::State& state) {
  Run<ResolveCallsign>(state, The<MixedDictionary>());
}
void BM_ResolveCallsignByScan_Mixed(benchmark::State& state) {
  Run<ResolveCallsignByScan>(state, The<MixedDictionary>());
}
void BM_ResolveCallsign_CountryFileShaped(benchmark::State& state) {
  Run<ResolveCallsign>(state, The<CountryFileShapedDictionary>());
}
void BM_ResolveCallsignByScan_CountryFileShaped(benchmark::State& state) {
  Run<ResolveCallsignByScan>(state, The<CountryFileShapedDictionary>());
}

#define QUILLET_RESOLVE_BENCHMARK(name) \
  BENCHMARK(name)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true)

QUILLET_RESOLVE_BENCHMARK(BM_ResolveCallsign_Mixed);
QUILLET_RESOLVE_BENCHMARK(BM_ResolveCallsignByScan_Mixed);
QUILLET_RESOLVE_BENCHMARK(BM_ResolveCallsign_CountryFileShaped);
QUILLET_RESOLVE_BENCHMARK(BM_ResolveCallsignByScan_CountryFileShaped);

void BM_ResolveCallsign_CountryFile(benchmark::State& state) {
  Run<ResolveCallsign>(state, The<CountryFileDictionary>());
}
void BM_ResolveCallsignByScan_CountryFile(benchmark::State& state) {
  Run<ResolveCallsignByScan>(state, The<CountryFileDictionary>());
}
QUILLET_RESOLVE_BENCHMARK(BM_ResolveCallsign_CountryFile);
QUILLET_RESOLVE_BENCHMARK(BM_ResolveCallsignByScan_CountryFile);
void BM_BuildIndex_CountryFile(benchmark::State& state) { Build(state, The<CountryFileDictionary>()); }
BENCHMARK(BM_BuildIndex_CountryFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillet
