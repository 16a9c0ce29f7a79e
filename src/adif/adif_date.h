// ADIF dates: YYYYMMDD values, read the way the record step needs them
// for the closing-date test and the SQL date literal.
#pragma once

#include <string_view>

#include "runtime/date_time.h"

namespace quillet {

// The year, month and day of an ADIF date value YYYYMMDD. Each of the three
// parts is read as far as the value reaches and must be a decimal integer
// (leading blanks and a sign allowed), the three a calendar date; otherwise
// raises EConvertError.
DateParts AdifDateParts(std::u16string_view value);

// The same date at midnight.
TDateTime AdifDateValue(std::u16string_view value);

}  // namespace quillet
