// Text to date-time with the locale's short date and time formats, as the
// host writes dates in its settings: a date alone is midnight; a date, a
// blank and a time (hours and minutes, optionally seconds) give both.
#pragma once

#include <string_view>

#include "runtime/date_time.h"

namespace quillet {

bool TryStrToDateTime(std::u16string_view text, const ShortFormats& formats, TDateTime& result);
// Raises EConvertError "''text'' is not a valid date and time".
TDateTime StrToDateTime(std::u16string_view text, const ShortFormats& formats);

}  // namespace quillet
