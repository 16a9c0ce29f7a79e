// What the module's two exports do, and what happens when the module is
// loaded and unloaded. The exports themselves (module_exports.cpp) only
// forward here, so tests can call the same functions without loading the
// module.
#pragma once

#include <quillet/plugin_api.h>

namespace quillet {

// Builds the plug-in object for core and stores its IPlugin in *plugin
// (one reference, the host's). On any failure returns 0x8000FFFF, leaves
// *plugin null and sets no error information.
HRESULT PluginEntry(ICore* core, IPlugin** plugin) noexcept;
// Does nothing; 0.
HRESULT PluginDone() noexcept;

// At load: installs SafeCallErrorHandler. The fixed tables build
// themselves as the module's static objects are initialised.
void ModuleLoaded();
// At unload: removes SafeCallErrorHandler (the tables go with the module).
void ModuleUnloading() noexcept;

}  // namespace quillet
