#include "host/os/module_library.h"

#include <windows.h>

#include "host/base/host_error.h"

namespace quillet::host {

ModuleLibrary::ModuleLibrary(const std::string& path) {
  handle_ = LoadLibraryA(path.c_str());
  if (handle_ == nullptr) {
    throw HostError("cannot load " + path + ": error " + std::to_string(GetLastError()));
  }
}

ModuleLibrary::~ModuleLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* ModuleLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string ExecutableFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  const std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

}  // namespace quillet::host
