// Callsign resolution over the three dictionary lists (declared with the
// lists in dictionaries.h), and what tests and benchmarks need besides.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// The same answer as ResolveCallsign, found the straightforward way: every
// pattern compiled anew and tried in list order. For comparison only.
bool ResolveCallsignByScan(std::u16string_view callsign, std::u16string& continent,
                           std::u16string& dxccPrefix, std::u16string& dxcc, std::u16string& mainPrefix,
                           std::u16string& ituZone, std::u16string& cqZone);

// ResolveCallsign keeps the lists' patterns compiled between calls. The
// loaders and clearers drop that state, and so does a change of a list's
// length or of where its entries are stored. Code that changes the patterns
// otherwise calls this before the next resolution: edits in place, and also
// assigning a list of the same length, which may keep the storage.
void InvalidateCallsignPatterns();

}  // namespace quillet
