#include "runtime/safe_call.h"

#include "runtime/exceptions.h"

namespace quillet {
namespace {
SafeCallErrorHandlerProc installedHandler = nullptr;
}  // namespace

void SetSafeCallErrorHandler(SafeCallErrorHandlerProc handler) { installedHandler = handler; }

SafeCallErrorHandlerProc GetSafeCallErrorHandler() { return installedHandler; }

void RaiseSafeCallError(HRESULT status, void* address) {
  if (address == nullptr) address = __builtin_return_address(0);
  if (installedHandler != nullptr) installedHandler(status, address);
  throw EOleSysError(u"", static_cast<std::int32_t>(status));
}

}  // namespace quillet
