// In-memory copies of the host's reference dictionaries UNIQUECALL,
// PROVINCE and COUNTRY, and the callsign resolution over them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

extern TUniqueCallList UniqueCallList;
extern TProvinceList ProvinceList;
extern TCountryList CountryList;

// Fill a list with the rows valid today, through the host's query protocol.
void LoadUniqueCalls(IHostServer* server, TUniqueCallList& list);
void LoadProvinces(IHostServer* server, TProvinceList& list);
void LoadCountries(IHostServer* server, TCountryList& list);

void ClearUniqueCalls(TUniqueCallList& list);
void ClearProvinces(TProvinceList& list);
void ClearCountries(TCountryList& list);

// Resolves a callsign against UNIQUECALL, then PROVINCE, then COUNTRY: the
// first entry whose pattern's first match covers the whole callsign sets
// the six outputs. False, outputs untouched, when none matches.
bool ResolveCallsign(std::u16string_view callsign, std::u16string& continent, std::u16string& dxccPrefix,
                     std::u16string& dxcc, std::u16string& mainPrefix, std::u16string& ituZone,
                     std::u16string& cqZone);

}  // namespace quillet
