// Callsign resolution found the straightforward way: every pattern compiled
// anew and tried in list order. The same answer as
// Dictionaries::ResolveCallsign, which tests and benchmarks hold it to.
#pragma once

#include <optional>
#include <string_view>

#include "refdata/dictionaries.h"

namespace quillet {

std::optional<CallsignReference> ResolveCallsignByScan(const Dictionaries& dictionaries,
                                                       std::u16string_view callsign);

}  // namespace quillet
