// The error that the host's own code raises, wherever it fails: loading a
// module, capturing its output, reading a file, running a statement. At the
// plug-in boundary it becomes a failure status with error information; on
// the command line, the line the user sees.
#pragma once

#include <stdexcept>

namespace quillet::host {

class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quillet::host
