#include "runtime/bstr.h"

#include <new>

namespace quillet {

BString::BString(std::u16string_view text) {
  if (text.empty()) return;
  text_ = SysAllocStringLen(OleUnits(text.data()), static_cast<UINT>(text.size()));
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

std::u16string BString::ToText(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(Units(text), SysStringLen(text));
}

}  // namespace quillet
