#include "host/os/module_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "host/base/host_error.h"

namespace quillet::host {

ModuleLibrary::ModuleLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw HostError("cannot load " + path + ": " + dlerror());
}

ModuleLibrary::~ModuleLibrary() { dlclose(handle_); }

void* ModuleLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  std::string folder(path, static_cast<std::size_t>(length));
  const std::size_t slash = folder.rfind('/');
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

}  // namespace quillet::host
