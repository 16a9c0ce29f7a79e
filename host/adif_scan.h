// A light scan of an ADIF text, independent of the module's reader, for the
// one thing the host wants to know before an import: whose log it is.
#pragma once

#include <string>
#include <string_view>

namespace quillet::host {

// The operator of the first record that names one: its OPERATOR value, or
// its STATION_CALLSIGN when OPERATOR is absent, upper-cased (a to z only).
// Fields before <EOH> belong to the header and are skipped. Empty when no
// record names an operator.
std::string FirstOperator(std::string_view adif);

}  // namespace quillet::host
