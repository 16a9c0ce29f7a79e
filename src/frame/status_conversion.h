// The two conversions at the host boundary. An exception leaving a module
// method becomes a status plus the calling thread's error information; a
// failure status from a host method becomes an exception of the class the
// status names, built from the thread's error information.
#pragma once

#include <quillet/ole.h>

#include <memory>

namespace quillet {

class Exception;

// The error domain of the plug-in system, {43B2F1E1-E897-4584-A92A-06AE75DF834D}:
// the GUID of error information whose status lies in facility 4.
inline constexpr GUID kPluginSystemErrorDomain = {
    0x43B2F1E1, 0xE897, 0x4584, {0xA9, 0x2A, 0x06, 0xAE, 0x75, 0xDF, 0x83, 0x4D}};

// The status an exception stands for: 0x8000FFFF for a plain Exception,
// ErrorCode for the status family, HRESULT_FROM_WIN32 of ErrorCode for an
// EOSError, the class code otherwise.
HRESULT ExceptionToStatus(const Exception& e);

// Leaves error information for an exception that ends a method of an object
// of class objectClassName (source "pluginsystem." + the class name) and
// returns the method's status. e is null for an exception outside the
// family: 0x8000FFFF with no description. When no error-information object
// can be made the result is 0x8000FFFF and the thread's error information
// stays as it was.
HRESULT HandleSafeCallException(const char* objectClassName, const Exception* e) noexcept;

// A new exception for a failure status, from the thread's error information
// (which this consumes).
std::unique_ptr<Exception> StatusToException(HRESULT status);

// Raises StatusToException(status); address is where the failing call
// returned to.
[[noreturn]] void SafeCallErrorHandler(HRESULT status, void* address);

// Installed when the module is loaded and removed when it is unloaded;
// removal restores the handler that was there before.
void InstallSafeCallErrorHandler();
void RemoveSafeCallErrorHandler();

}  // namespace quillet
