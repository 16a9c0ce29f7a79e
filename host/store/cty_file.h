// The amateur-radio country file in its CSV form (cty.csv), one entity per
// line:
//
//   primary prefix, name, DXCC entity number, continent, CQ zone, ITU zone,
//   latitude, longitude, UTC offset, prefix list ending in ";"
//
// The prefix list holds prefixes ("DL") and exact callsigns ("=DL0ABC/LH"),
// separated by blanks, each optionally followed by the attributes it holds
// apart from its entity: "(cq zone)", "[itu zone]", "{continent}",
// "<lat/long>" and "~utc offset~". Position and UTC offset are not used by a
// log and are skipped.
//
// A primary prefix written with a leading "*" names an area that counts on
// the WAE list only (Sicily, European Turkey, ...); its DXCC entity number is
// that of the DXCC entity it belongs to. A suffix such as "/c" in a primary
// prefix ("3D2/c", Conway Reef) tells apart entities sharing a prefix and is
// never part of a callsign.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::host {

struct CtyItem {
  std::string text;  // the prefix or the callsign, without "=" and attributes
  bool exactCall = false;
  std::optional<int> cqZone;
  std::optional<int> ituZone;
  std::optional<std::string> continent;
};

struct CtyEntity {
  std::string primaryPrefix;  // as written: "DL", "*TA1", "3D2/c"
  std::string name;
  int dxcc = 0;
  std::string continent;
  int cqZone = 0;
  int ituZone = 0;
  std::vector<CtyItem> items;  // in file order

  bool IsWaeOnly() const { return primaryPrefix.starts_with('*'); }
};

// The entities of the file's text, in file order. Blank lines are skipped;
// a malformed line raises HostError naming its line number.
std::vector<CtyEntity> ParseCtyText(std::string_view text);
// Raises HostError when the file cannot be read.
std::vector<CtyEntity> ReadCtyFile(const std::string& path);

// The primary prefix without its marks: "*GM/s" gives "GM", "3D2/c" "3D2".
std::string PlainPrefix(std::string_view primaryPrefix);

}  // namespace quillet::host
