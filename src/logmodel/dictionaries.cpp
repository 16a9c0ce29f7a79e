#include "logmodel/dictionaries.h"

#include "logmodel/callsign_resolution.h"

namespace quillet {

TUniqueCallList UniqueCallList;
TProvinceList ProvinceList;
TCountryList CountryList;

void ClearUniqueCalls(TUniqueCallList& list) {
  list.clear();
  InvalidateCallsignPatterns();
}

void ClearProvinces(TProvinceList& list) {
  list.clear();
  InvalidateCallsignPatterns();
}

void ClearCountries(TCountryList& list) {
  list.clear();
  InvalidateCallsignPatterns();
}

}  // namespace quillet
