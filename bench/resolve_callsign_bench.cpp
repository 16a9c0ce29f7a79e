// Callsign resolution over a full-size generated dictionary: the compiled
// fast path against the straightforward scan, in the same run.
//   20,000 UNIQUECALL entries (most of them literal callsigns),
//   300 PROVINCE and 400 COUNTRY patterns of the usual shapes.
// The calls resolved are a mix: unique calls, calls resolved by a province
// or a country, and calls that nothing resolves.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "logmodel/callsign_resolution.h"
#include "logmodel/dictionaries.h"
#include "runtime/text.h"

namespace quillet {
namespace {

class Dictionary {
 public:
  Dictionary() : random_(20240601) {
    BuildUniqueCalls();
    BuildProvinces();
    BuildCountries();
    for (int i = 0; i < 1000; ++i)
      calls_.push_back(i % 4 == 0 ? UniqueCallList[Below(20000)].Callsign : Call());
  }
  const std::vector<std::u16string>& Calls() const { return calls_; }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  char Letter() { return static_cast<char>('A' + Below(26)); }
  char Digit() { return static_cast<char>('0' + Below(10)); }
  std::string Prefix() {
    static const char* const prefixes[] = {"K",  "W", "N", "AA", "VE", "G",  "DL", "JA", "UA", "9A",
                                           "EA", "F", "I", "PY", "LU", "ZS", "VK", "OH", "SM", "HB9"};
    return prefixes[Below(20)];
  }
  std::u16string Call() {
    std::string call = Prefix() + Digit();
    for (int i = 0, n = 1 + Below(3); i < n; ++i) call += Letter();
    return Ascii(call);
  }

  void BuildUniqueCalls() {
    for (int i = 0; i < 20000; ++i) {
      TUniqueCallField entry;
      entry.Callsign = Call();
      if (i % 50 == 0) entry.Callsign += u"/[0-9P]";  // a few non-literal ones
      entry.DXCC = IntToText(i);
      UniqueCallList.push_back(entry);
    }
  }
  std::u16string Shape(int kind) {
    const std::string p = Prefix();
    const std::string letter(1, Letter());
    switch (kind % 6) {
      case 0:
        return Ascii("^" + p + "[0-9]");
      case 1:
        return Ascii(p + std::string(1, Digit()) + "[A-Z]{1,3}");
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
  void BuildProvinces() {
    for (int i = 0; i < 300; ++i) {
      TProvinceField entry;
      entry.PrefixList = Shape(i);
      ProvinceList.push_back(entry);
    }
  }
  void BuildCountries() {
    for (int i = 0; i < 400; ++i) {
      TCountryField entry;
      entry.PrefixList = Shape(i + 3);
      CountryList.push_back(entry);
    }
  }

  std::mt19937 random_;
  std::vector<std::u16string> calls_;
};

const Dictionary& TheDictionary() {
  static const Dictionary dictionary;
  return dictionary;
}

template <auto Resolve>
void Run(benchmark::State& state) {
  const auto& calls = TheDictionary().Calls();
  std::u16string continent, dxccPrefix, dxcc, mainPrefix, ituZone, cqZone;
  Resolve(calls[0], continent, dxccPrefix, dxcc, mainPrefix, ituZone, cqZone);  // compiles once
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Resolve(calls[next], continent, dxccPrefix, dxcc, mainPrefix, ituZone, cqZone));
    next = (next + 1) % calls.size();
  }
}

void BM_ResolveCallsign(benchmark::State& state) { Run<ResolveCallsign>(state); }
void BM_ResolveCallsignByScan(benchmark::State& state) { Run<ResolveCallsignByScan>(state); }

BENCHMARK(BM_ResolveCallsign)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ResolveCallsignByScan)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quillet
