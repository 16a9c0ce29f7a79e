#include "host/os/locale_date.h"

namespace quillet::host {

std::string LocaleDateText(const std::string& date) { return date; }

}  // namespace quillet::host
