#include "runtime/bstr.h"

#include <new>

namespace quillet {

BString::BString(std::u16string_view text) {
  // The empty string stays null: a null BSTR is the empty string to every
  // OLE function, and allocates nothing the host would have to free.
  if (text.empty()) return;
  text_ = SysAllocStringLen(OleUnits(text.data()), static_cast<UINT>(text.size()));
  // A failed allocation is out of memory, not an empty text: the one case
  // where a null result is not the empty string.
  if (text_ == nullptr) throw std::bad_alloc();
}

BString& BString::operator=(BString&& other) noexcept {
  if (this != &other) {
    reset();
    text_ = other.release();
  }
  return *this;
}

BString BString::Adopt(BSTR text) {
  BString result;
  result.text_ = text;
  return result;
}

// Freed first: an out parameter is written over, never freed by the
// callee, so a string still held here would leak.
BSTR* BString::put() {
  reset();
  return &text_;
}

BSTR BString::release() {
  BSTR text = text_;
  text_ = nullptr;
  return text;
}

void BString::reset() {
  if (text_ != nullptr) SysFreeString(text_);
  text_ = nullptr;
}

// The length comes from the prefix, not a terminating zero: a BSTR may
// hold zero units inside its text.
std::u16string BString::ToText(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(Units(text), SysStringLen(text));
}

}  // namespace quillet
