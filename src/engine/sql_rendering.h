// How a value of the working list is written into SQL text, by its kind.
// Values that would put raw input into the statement do not render: they
// raise EConvertError, like a malformed date.
#pragma once

#include <string>
#include <string_view>

#include "logmodel/log_table.h"

namespace quillet {

class RecordFields;

// The message for a linked time that is not HHMM or HHMMSS.
inline constexpr char16_t kInvalidTime[] = u"''%s'' is not a valid time";

// Appends the SQL literal of field's current value to out and returns true;
// returns false, out unchanged, when the column gets no assignment. fields
// supplies the linked time of a date-and-time entry.
bool AppendLiteral(std::u16string& out, const TLogField& field, const RecordFields& fields);

}  // namespace quillet
