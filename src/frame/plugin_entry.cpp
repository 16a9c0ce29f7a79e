#include "frame/plugin_entry.h"

#include "frame/plugin.h"
#include "frame/status_conversion.h"

namespace quillet {

HRESULT PluginEntry(ICore* core, IPlugin** plugin) noexcept {
  if (plugin == nullptr) return E_UNEXPECTED;
  *plugin = nullptr;
  try {
    IPlugin* created = NewChecked<TPlugin>(core);
    created->AddRef();
    *plugin = created;
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT PluginDone() noexcept { return S_OK; }

// The fixed tables (LogTable, BandList) are built by their own static
// initialisers when the module is loaded and freed with it.
void ModuleLoaded() { InstallSafeCallErrorHandler(); }

void ModuleUnloading() noexcept { RemoveSafeCallErrorHandler(); }

}  // namespace quillet
