// The host's side of the string and error conventions of the plug-in
// boundary: BSTRs from the shared allocator, and the thread's error
// information for a failing method.
#pragma once

#include <quillet/ole.h>

#include <exception>
#include <string>
#include <string_view>

namespace quillet::host {

// The text of an in-string; null is the empty text. Never keeps or frees it.
std::string FromBstr(BSTR text);

// A newly allocated BSTR holding text, for out and by-reference parameters.
BSTR NewBstr(std::string_view utf8);

// Owns one BSTR the host received (an out parameter it must free).
class OwnedBstr {
 public:
  OwnedBstr() = default;
  ~OwnedBstr() { SysFreeString(text_); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  BSTR* put() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }
  std::string Utf8() const { return FromBstr(text_); }

 private:
  BSTR text_ = nullptr;
};

// Leaves description as the thread's error information and answers the
// failure status a host method returns with it.
HRESULT FailWith(std::string_view description, HRESULT status = E_FAIL);

// Runs the body of a host method: any exception becomes a failure status
// with error information, so none ever reaches the module.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const std::exception& error) {
    return FailWith(error.what());
  } catch (...) {
    return FailWith("unexpected failure in the host");
  }
}

// The description of the thread's error information, taking it; empty when
// none is set.
std::string TakeErrorDescription();

}  // namespace quillet::host
