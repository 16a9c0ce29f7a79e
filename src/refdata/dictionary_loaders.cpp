// The loaders of the three dictionaries: the rows valid today, in the
// host's order (ascending ID), read through the host's query protocol.
#include <algorithm>

#include "hostcalls/host_query.h"
#include "platform/clock.h"
#include "refdata/dictionaries.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// The host writes the empty text as "" and dates between "#" signs.
constexpr char16_t kUniqueCallOpening[] =
    u"SELECT * FROM UNIQUECALL WHERE (CALLSIGN IS NOT NULL AND CALLSIGN>\"\") AND (ENDDATE IS NULL OR #";
constexpr char16_t kProvinceOpening[] =
    u"SELECT * FROM PROVINCE WHERE (PREFIXLIST IS NOT NULL AND PREFIXLIST>\"\") AND (ENDDATE IS NULL OR #";
constexpr char16_t kCountryOpening[] =
    u"SELECT * FROM COUNTRY WHERE (PREFIXLIST IS NOT NULL AND PREFIXLIST>\"\") AND (ENDDATE IS NULL OR #";

// The rows whose period of validity includes today.
std::u16string ValidTodayStatement(std::u16string_view opening) {
  const std::u16string day = FormatDateTime(u"yyyy-mm-dd", Now());
  return std::u16string(opening) + day + u"#<=ENDDATE) AND (STARTDATE IS NULL OR STARTDATE<=#" + day +
         u"#) ORDER BY ID";
}

// Stand-ins for a validity period left open.
TDateTime OpenStart() { return EncodeDate(1900, 1, 1); }
TDateTime OpenEnd() { return EncodeDate(2099, 12, 31) + EncodeTime(23, 59, 59, 999); }

template <class Entry>
void ReadValidity(HostQuery& query, Entry& entry) {
  entry.StartDate = query.DateTime(u"StartDate", OpenStart());
  entry.EndDate = query.DateTime(u"EndDate", OpenEnd());
}

void ReadEntry(HostQuery& query, TUniqueCallField& entry) {
  entry.Callsign = query.String(u"Callsign");
  entry.ARRLPrefix = query.String(u"ARRLPrefix");
  entry.Prefix = query.String(u"Prefix");
  entry.Continent = query.String(u"Continent");
  entry.DXCC = IntToText(query.Integer(u"DXCC"));
  entry.ITUZone = IntToText(query.Integer(u"ITUZone"));
  entry.CQZone = IntToText(query.Integer(u"CQZone"));
  ReadValidity(query, entry);
}

void ReadEntry(HostQuery& query, TProvinceField& entry) {
  entry.PrefixList = query.String(u"PrefixList");
  entry.ARRLPrefix = query.String(u"ARRLPrefix");
  entry.Prefix = query.String(u"Prefix");
  entry.Continent = query.String(u"Continent");
  entry.DXCC = IntToText(query.Integer(u"DXCC"));
  entry.ITUZone = query.String(u"ITUZone");
  entry.CQZone = query.String(u"CQZone");
  ReadValidity(query, entry);
}

void ReadEntry(HostQuery& query, TCountryField& entry) {
  entry.PrefixList = query.String(u"PrefixList");
  entry.ARRLPrefix = query.String(u"ARRLPrefix");
  entry.Continent = query.String(u"Continent");
  entry.DXCC = query.String(u"DXCC");
  entry.ITUZone = query.String(u"ITUZone");
  entry.CQZone = query.String(u"CQZone");
  ReadValidity(query, entry);
}

// The list is sized by the count the host reports; entries left over carry
// an empty pattern, and rows past the count extend the list. On failure
// the list keeps the entries read so far.
template <class Entry>
void LoadDictionary(IHostServer* server, std::u16string_view opening, std::vector<Entry>& list) {
  const std::u16string statement = ValidTodayStatement(opening);
  HostQuery query(server);
  const std::int32_t count = query.Open(statement);
  list.clear();
  list.resize(static_cast<std::size_t>(std::max<std::int32_t>(count, 0)));
  query.First();
  for (std::size_t row = 0; !query.Eof(); ++row) {
    if (row == list.size()) list.emplace_back();
    ReadEntry(query, list[row]);
    query.Next();
  }
  query.End();
}

}  // namespace

void LoadUniqueCalls(IHostServer* server, TUniqueCallList& list) {
  LoadDictionary(server, kUniqueCallOpening, list);
}

void LoadProvinces(IHostServer* server, TProvinceList& list) {
  LoadDictionary(server, kProvinceOpening, list);
}

void LoadCountries(IHostServer* server, TCountryList& list) { LoadDictionary(server, kCountryOpening, list); }

}  // namespace quillet
