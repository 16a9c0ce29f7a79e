// The guard around every module method the host can call. The body runs
// inside it; whatever it raises becomes the method's status and the
// thread's error information (HandleSafeCallException), so no exception
// ever leaves the module.
#pragma once

#include <quillet/ole.h>

#include <initializer_list>
#include <string_view>
#include <utility>

#include "frame/exception_family.h"
#include "frame/status_conversion.h"

namespace quillet {

// className is the class implementing the method, as the host will read it
// in the error source.
template <class F>
HRESULT Guarded(const char* className, F&& body) noexcept {
  try {
    std::forward<F>(body)();
    return S_OK;
  } catch (const Exception& e) {
    return HandleSafeCallException(className, &e);
  } catch (...) {
    return HandleSafeCallException(className, nullptr);
  }
}

// An out parameter the host handed in; a null one raises EInvalidPointer
// instead of being written through.
template <class T>
T& OutParameter(T* out) {
  if (out == nullptr) throw EInvalidPointer(kInvalidPointerMessage);
  return *out;
}

// Stores a newly allocated copy of text in a string out parameter.
void SetOutString(BSTR* out, std::u16string_view text);

// One interface an object answers in QueryInterface.
struct InterfaceEntry {
  const IID& Iid;
  IUnknown* Object;
};

// The entry for iid; null when the object does not implement it.
IUnknown* FindInterface(REFIID iid, std::initializer_list<InterfaceEntry> entries);

}  // namespace quillet
