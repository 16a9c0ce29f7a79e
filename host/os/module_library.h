// A loaded module binary and the folder of the running host, behind one
// header for each operating system.
#pragma once

#include <string>

namespace quillet::host {

class ModuleLibrary {
 public:
  // Raises HostError with the system's reason when the file does not load.
  explicit ModuleLibrary(const std::string& path);
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // The exported symbol, or null when the module has none of that name.
  void* Symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
};

// The folder holding the quillet binary, without a trailing separator.
std::string ExecutableFolder();

}  // namespace quillet::host
