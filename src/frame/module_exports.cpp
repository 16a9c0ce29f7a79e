// The module's exports and its load-time setup. The exported names begin
// with a digit, which no C++ name may: natively the functions take them as
// assembler labels; on Windows Quillet.def gives the names and ordinals.
#include <quillet/plugin_api.h>

#include "frame/plugin_entry.h"

#ifdef _WIN32
#define QUILLET_EXPORT_AS(name)
#else
// The assembler takes a name that begins with a digit only in quotes.
#define QUILLET_EXPORT_AS(name) __asm__("\"" name "\"")
#endif

extern "C" {
__attribute__((visibility("default"))) HRESULT QUILLET_STDCALL QuilletPluginEntry(quillet::ICore* core,
                                                                                  quillet::IPlugin** plugin)
    QUILLET_EXPORT_AS(QUILLET_ENTRY_NAME);
__attribute__((visibility("default"))) HRESULT QUILLET_STDCALL QuilletPluginDone()
    QUILLET_EXPORT_AS(QUILLET_DONE_NAME);
}

HRESULT QUILLET_STDCALL QuilletPluginEntry(quillet::ICore* core, quillet::IPlugin** plugin) {
  return quillet::PluginEntry(core, plugin);
}

HRESULT QUILLET_STDCALL QuilletPluginDone() { return quillet::PluginDone(); }

#ifndef _WIN32
namespace {

// Loading the shared object constructs it, unloading destroys it. On
// Windows DllMain does the same through ModuleLoaded and ModuleUnloading.
struct ModuleLifetime {
  ModuleLifetime() { quillet::ModuleLoaded(); }
  ~ModuleLifetime() { quillet::ModuleUnloading(); }
  ModuleLifetime(const ModuleLifetime&) = delete;
  ModuleLifetime& operator=(const ModuleLifetime&) = delete;
};
const ModuleLifetime moduleLifetime;

}  // namespace
#endif
