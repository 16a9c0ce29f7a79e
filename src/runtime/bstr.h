// BString owns one BSTR from the shared system allocator.
#pragma once

#include <quillet/ole.h>

#include <string>
#include <string_view>

namespace quillet {

// Move-only: a copy would free the same string twice. A string handed to
// the host as an in parameter stays ours; one received as an out
// parameter is ours to free.
class BString {
 public:
  BString() = default;
  explicit BString(std::u16string_view text);
  ~BString() { reset(); }
  BString(BString&& other) noexcept : text_(other.release()) {}
  BString& operator=(BString&& other) noexcept;
  BString(const BString&) = delete;
  BString& operator=(const BString&) = delete;

  // Takes over a string allocated elsewhere.
  static BString Adopt(BSTR text);

  // For in parameters: the string stays ours.
  BSTR get() const { return text_; }
  // For out parameters: frees what is held, then hands out the address.
  BSTR* put();
  // For by-reference parameters: the callee replaces and frees the content.
  BSTR* inOut() { return &text_; }
  BSTR release();
  void reset();

  std::u16string Text() const { return ToText(text_); }
  static std::u16string ToText(BSTR text);

 private:
  // Null is the empty string, as for every BSTR.
  BSTR text_ = nullptr;
};

// A BSTR's units as char16_t, whatever OLECHAR is on the platform.
inline const char16_t* Units(const OLECHAR* text) { return reinterpret_cast<const char16_t*>(text); }
inline const OLECHAR* OleUnits(const char16_t* text) { return reinterpret_cast<const OLECHAR*>(text); }

}  // namespace quillet
