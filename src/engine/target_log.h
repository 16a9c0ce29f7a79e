// The log the records of a run go into, as the host's settings give it.
#pragma once

#include <string_view>

#include "runtime/date_time.h"

namespace quillet {

// The views must outlive the run that reads them.
struct TargetLog {
  std::u16string_view name;         // LOG.TABLE, written into LOGNAME
  TDateTime closeDate = 0;          // LOG.EXPIRE
  std::u16string_view logOperator;  // LOG.OPERATOR
};

}  // namespace quillet
