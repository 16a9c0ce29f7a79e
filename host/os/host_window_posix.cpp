#include "host/os/host_window.h"

namespace quillet::host {

// Module windows are headless here: nothing to own them.
HostWindow::HostWindow() = default;
HostWindow::~HostWindow() = default;

}  // namespace quillet::host
