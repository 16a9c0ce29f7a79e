// The one checking helper through which every host call goes: a failure
// status becomes an exception at the call site. Which exception is decided
// by the module-wide handler that the plug-in frame installs at load; until
// one is installed, a failure raises EOleSysError with the status.
#pragma once

#include <quillet/ole.h>

namespace quillet {

// Must throw; it is given the status and the address of the failing call.
using SafeCallErrorHandlerProc = void (*)(HRESULT status, void* address);

void SetSafeCallErrorHandler(SafeCallErrorHandlerProc handler);
SafeCallErrorHandlerProc GetSafeCallErrorHandler();

[[noreturn]] void RaiseSafeCallError(HRESULT status, void* address);

// Use as Check(host->Method(...)).
// Any negative status is a failure; positive ones (S_FALSE) are answers.
inline void Check(HRESULT status) {
  if (status < 0) RaiseSafeCallError(status, nullptr);
}

}  // namespace quillet
