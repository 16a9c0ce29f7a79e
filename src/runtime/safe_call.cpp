#include "runtime/safe_call.h"

#include "runtime/exceptions.h"

namespace quillet {
namespace {
SafeCallErrorHandlerProc installedHandler = nullptr;
}  // namespace

void SetSafeCallErrorHandler(SafeCallErrorHandlerProc handler) { installedHandler = handler; }

SafeCallErrorHandlerProc GetSafeCallErrorHandler() { return installedHandler; }

void RaiseSafeCallError(HRESULT status, void* address) {
  // Without an address of its own the failure is reported at the caller of
  // this function, the call site of Check, which is where the host call was.
  if (address == nullptr) address = __builtin_return_address(0);
  if (installedHandler != nullptr) installedHandler(status, address);
  // Reached only when no handler is installed or the installed one
  // returned: a failure status must never pass silently.
  throw EOleSysError(u"", static_cast<std::int32_t>(status));
}

}  // namespace quillet
