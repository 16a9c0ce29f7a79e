// The host's main window, which owns every window of a module: a modal
// dialog disables it for its run and is centred over it. The reference host
// keeps it hidden. Where module windows are headless there is none, and the
// handle is the empty one.
#pragma once

#include <quillet/plugin_api.h>

namespace quillet::host {

class HostWindow {
 public:
  // Creates the window on the calling thread, which must run the modules' UI.
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  WindowHandle Handle() const { return handle_; }

 private:
  WindowHandle handle_{};
};

}  // namespace quillet::host
