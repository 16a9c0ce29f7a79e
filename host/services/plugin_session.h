// One plug-in module loaded into the host, from its entry point to its
// unloading:
//  * loading calls the entry point with the host's ICore and keeps the
//    IPlugin it returns (the one reference the host owns);
//  * Choose runs a registered menu command as the operator would;
//  * the end calls Destroying, releases the plug-in, drops the module's
//    click handlers, calls the "_done" export and unloads the binary.
// A failure status from the module raises HostError with the status and the
// thread's error information.
#pragma once

#include <quillet/plugin_api.h>

#include <memory>
#include <string>

#include "host/os/module_library.h"
#include "host/services/ref.h"

namespace quillet::host {

class HostCore;

class PluginSession {
 public:
  // core must outlive the session.
  PluginSession(const std::string& modulePath, HostCore& core);
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  IPlugin& Plugin() { return *plugin_.get(); }
  // Raises HostError when no enabled command has this caption, or when the
  // module's handler fails.
  void Choose(const std::string& caption);

 private:
  void End() noexcept;

  HostCore& core_;
  std::unique_ptr<ModuleLibrary> library_;
  Ref<IPlugin> plugin_;
};

// "<what> failed with status 0x...: <error information>".
std::string StatusMessage(const std::string& what, HRESULT status);

}  // namespace quillet::host
