// In-memory copies of the host's reference dictionaries UNIQUECALL,
// PROVINCE and COUNTRY, and the callsign resolution over them.
//
// A Dictionaries object is built whole (loaded from the host, or from lists
// a caller assembled) and never changes afterwards, so the patterns it
// compiles on construction stay those of its lists for its whole life.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "refdata/pattern_index.h"
#include "runtime/date_time.h"

namespace quillet {

struct IHostServer;

struct TUniqueCallField {
  std::u16string Callsign;  // pattern
  std::u16string Continent;
  std::u16string ARRLPrefix;
  std::u16string Prefix;
  std::u16string DXCC;
  std::u16string ITUZone;
  std::u16string CQZone;
  TDateTime StartDate = 0;
  TDateTime EndDate = 0;
};

struct TProvinceField {
  std::u16string Continent;
  std::u16string ARRLPrefix;
  std::u16string Prefix;
  std::u16string DXCC;
  std::u16string ITUZone;
  std::u16string CQZone;
  TDateTime StartDate = 0;
  TDateTime EndDate = 0;
  std::u16string PrefixList;  // pattern
};

struct TCountryField {
  std::u16string Continent;
  std::u16string ARRLPrefix;
  std::u16string DXCC;
  std::u16string ITUZone;
  std::u16string CQZone;
  TDateTime StartDate = 0;
  TDateTime EndDate = 0;
  std::u16string PrefixList;  // pattern
};

using TUniqueCallList = std::vector<TUniqueCallField>;
using TProvinceList = std::vector<TProvinceField>;
using TCountryList = std::vector<TCountryField>;

// Fill a list with the rows valid today, through the host's query protocol.
void LoadUniqueCalls(IHostServer* server, TUniqueCallList& list);
void LoadProvinces(IHostServer* server, TProvinceList& list);
void LoadCountries(IHostServer* server, TCountryList& list);

// What a dictionary entry says of a callsign, cut to the widths of the log
// columns that receive it.
struct CallsignReference {
  std::u16string continent;
  std::u16string dxccPrefix;
  std::u16string dxcc;
  std::u16string mainPrefix;
  std::u16string ituZone;
  std::u16string cqZone;
};

// The pattern of an entry, and the reference it gives when it resolves.
const std::u16string& PatternOf(const TUniqueCallField& entry);
const std::u16string& PatternOf(const TProvinceField& entry);
const std::u16string& PatternOf(const TCountryField& entry);
CallsignReference ReferenceOf(const TUniqueCallField& entry);
CallsignReference ReferenceOf(const TProvinceField& entry);
CallsignReference ReferenceOf(const TCountryField& entry);

class Dictionaries {
 public:
  // Three empty lists: no callsign resolves.
  Dictionaries() = default;
  // Compiles the lists' patterns once, for every resolution to come.
  Dictionaries(TUniqueCallList uniqueCalls, TProvinceList provinces, TCountryList countries);

  // The three lists from the host, in that order; raises whatever the host
  // raises, and then nothing is kept.
  static Dictionaries Load(IHostServer* server);

  const TUniqueCallList& UniqueCallList() const { return uniqueCalls_; }
  const TProvinceList& ProvinceList() const { return provinces_; }
  const TCountryList& CountryList() const { return countries_; }

  // Resolves a callsign against UNIQUECALL, then PROVINCE, then COUNTRY: the
  // first entry whose pattern's first match covers the whole callsign gives
  // the answer; none when no entry does. Raises ERegExpr when a pattern that
  // did not compile has its turn.
  std::optional<CallsignReference> ResolveCallsign(std::u16string_view callsign) const;

 private:
  TUniqueCallList uniqueCalls_;
  TProvinceList provinces_;
  TCountryList countries_;
  PatternIndex uniqueCallPatterns_;
  PatternIndex provincePatterns_;
  PatternIndex countryPatterns_;
};

}  // namespace quillet
