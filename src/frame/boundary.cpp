#include "frame/boundary.h"

#include "runtime/bstr.h"

namespace quillet {

void SetOutString(BSTR* out, std::u16string_view text) {
  BSTR& target = OutParameter(out);
  target = BString(text).release();
}

IUnknown* FindInterface(REFIID iid, std::initializer_list<InterfaceEntry> entries) {
  for (const InterfaceEntry& entry : entries) {
    if (entry.Iid == iid) return entry.Object;
  }
  return nullptr;
}

}  // namespace quillet
