// Time as the system tells it.
#pragma once

#include <cstdint>

#include "runtime/date_time.h"

namespace quillet {

// Milliseconds since an arbitrary start; wraps like the system's 32-bit tick count.
std::uint32_t TickCount();
// The current local date and time.
TDateTime Now();
// The user locale's short date and time formats ("ddddd" and "t").
const ShortFormats& LocaleShortFormats();

}  // namespace quillet
