// The rows of the host's dictionaries UNIQUECALL, PROVINCE and COUNTRY
// derived from the country file, so that the module's rule resolves every
// callsign to what the country file's own rule gives.
//
// The module's rule: UNIQUECALL first, then PROVINCE, then COUNTRY; within a
// table the first row in ID order whose pattern's first match covers the
// whole callsign. The country file's rule: an exact callsign entry wins;
// otherwise the longest prefix the callsign begins with, with that prefix's
// own zones and continent where it has them. Where an item occurs twice the
// first in file order counts.
//
// How the rows are laid out:
//  * UNIQUECALL: one row per exact callsign, pattern "^CALL$", file order.
//    Exact patterns never overlap, so order does not matter among them.
//  * PROVINCE and COUNTRY: one row per prefix, pattern "^PFX.*", longer
//    prefixes first. The first prefix pattern that matches is then the
//    longest prefix of the callsign.
//  * A prefix goes to COUNTRY when it is its entity's DXCC prefix (so that the
//    main prefix COUNTRY yields, its ARRLPrefix, is still the prefix that
//    matched) and every shorter prefix it extends is in COUNTRY too: PROVINCE
//    is searched before COUNTRY as a whole, so no PROVINCE prefix may begin a
//    COUNTRY prefix.
//
// The attributes:
//  * ARRLPrefix, the DXCC prefix: the plain primary prefix of the DXCC entity
//    ("3D2" for Conway Reef, whose entity number tells it from Fiji). A
//    WAE-only area takes that of the DXCC entity it belongs to (Sicily: "I")
//    but keeps its own continent and zones (European Turkey: EU).
//  * Prefix, the main prefix: the prefix that matched ("IT9", "VE2"); for an
//    exact callsign the longest prefix of its own entity it begins with, else
//    the entity's plain primary prefix ("1S" for =9M4SDX).
//  * DXCC: the ADIF entity number; continent and zones with the item's own
//    overrides.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/store/cty_file.h"

namespace quillet::host {

enum class DictionaryTable { UniqueCall, Province, Country };

// "UNIQUECALL", "PROVINCE", "COUNTRY".
std::string_view TableName(DictionaryTable table);

struct DictionaryRow {
  std::string pattern;  // Callsign in UNIQUECALL, PrefixList elsewhere
  std::string continent;
  std::string arrlPrefix;
  std::string prefix;  // not stored in COUNTRY
  int dxcc = 0;
  int ituZone = 0;
  int cqZone = 0;
};

// Each table's rows in ID order.
struct DictionaryRows {
  std::vector<DictionaryRow> uniqueCalls;
  std::vector<DictionaryRow> provinces;
  std::vector<DictionaryRow> countries;
};

// Every table gets at least one row: a table the file leaves empty gets one
// whose pattern matches nothing (kMatchesNothing), and COUNTRY, when no
// prefix qualifies for it, takes the shortest prefix.
DictionaryRows DeriveDictionaryRows(const std::vector<CtyEntity>& entities);

// "^K1ABC/P$": its only match is the whole of that callsign.
std::string ExactCallPattern(std::string_view callsign);
// "^DL.*": its first match covers every callsign beginning with DL.
std::string PrefixPattern(std::string_view prefix);
inline constexpr std::string_view kMatchesNothing = "[^\\s\\S]";

}  // namespace quillet::host
