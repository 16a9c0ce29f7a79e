#include "host/os/module_streams.h"

#include <io.h>

namespace quillet::host {

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

// The module's real dialog writes nothing to the standard streams.
ModuleStreams::ModuleStreams(Console&) {}

ModuleStreams::~ModuleStreams() = default;

}  // namespace quillet::host
