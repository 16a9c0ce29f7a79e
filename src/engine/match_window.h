// The match window: how far apart, in minutes, the QSO time of a record and
// that of a stored QSO may lie for the record to update it when no stored
// QSO has its exact minute. Loggers and confirmation services round or
// truncate times differently, so one QSO arrives with minutes a little apart.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

// The windows the operator chooses between, in the order the dialog lists
// them; 0 is the exact minute. The settings file remembers the minutes.
inline constexpr std::array<int, 6> kMatchWindows = {0, 1, 2, 5, 15, 30};

// The index of minutes in kMatchWindows; 0 (the exact minute) for a value
// that is not one of them.
std::size_t MatchWindowIndex(int minutes);

// "1 minute", "2 minutes": the window in the transcript and the reasons.
std::u16string MinutesText(int minutes);

// The condition "column>=#from# AND column<=#to#" for the times within
// minutes of dateTime, a date-and-time literal "#YYYY-MM-DD HH:MM#" as the
// planner renders it. Empty when the literal is not of that form.
std::u16string WindowRange(std::u16string_view column, std::u16string_view dateTime, int minutes);

}  // namespace quillet
