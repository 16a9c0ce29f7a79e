#pragma once

#include <string>

namespace quillet::host {

// The time now, formatted by strftime: in local time as 'YYYY-MM-DD
// HH:MM:SS' (what the journal and the import history show a person), and in
// UTC with a format of the caller's (what a file for other programs carries).
std::string LocalTimestamp();
std::string UtcTimestamp(const char* format);

}  // namespace quillet::host
