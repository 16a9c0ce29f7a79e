// The closing date as the module reads it: "LOG.EXPIRE" is date-time text in
// the process's locale format, which the module converts with that format.
#pragma once

#include <string>

namespace quillet::host {

// date is yyyy-mm-dd (a checked closing date). Windows: the user locale's
// short date; elsewhere the module's locale format is yyyy-mm-dd itself.
std::string LocaleDateText(const std::string& date);

}  // namespace quillet::host
