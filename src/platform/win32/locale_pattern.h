// The user locale's date and time pictures ("yyyy-MM-dd", "HH:mm:ss",
// "h:mm tt") in the runtime's pattern letters (date_time.h).
#pragma once

#include <string>
#include <string_view>

namespace quillet::win32 {

// y, d and quoted text stay; M becomes m (month), m becomes n (minute),
// H and h become h, s stays. Letters the runtime has no use for (the era
// g, the day-part marker t) are dropped together with the separators that
// led to them, so "h:mm tt" becomes "h:nn".
std::u16string RuntimePattern(std::u16string_view picture);

}  // namespace quillet::win32
