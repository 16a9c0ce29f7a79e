// The DLL's load and unload on Windows: attach builds the fixed tables and
// installs SafeCallErrorHandler, detach removes it. The C runtime has
// constructed the module's static objects before attach and destroys them
// after detach.
#include <windows.h>

#include "frame/plugin_entry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      try {
        quillet::ModuleLoaded();
      } catch (...) {
        return FALSE;  // the host's LoadLibrary fails; nothing half-built stays
      }
      return TRUE;
    case DLL_PROCESS_DETACH:
      quillet::ModuleUnloading();
      return TRUE;
    default:
      return TRUE;
  }
}
