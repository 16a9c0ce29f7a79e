#include "host/services/bstr.h"

#include "host/base/text.h"
#include "host/services/ref.h"

namespace quillet::host {

// Straight from the string's own units, without a UTF-16 copy first.
std::string FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return host::Utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
}

BSTR NewBstr(std::string_view utf8) {
  const std::u16string text = Utf16(utf8);
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

HRESULT FailWith(std::string_view description, HRESULT status) {
  Ref<ICreateErrorInfo> created;
  if (CreateErrorInfo(created.put()) < 0) return status;
  std::u16string source = u"quillet";
  std::u16string text = Utf16(description);
  created->SetSource(reinterpret_cast<LPOLESTR>(source.data()));
  created->SetDescription(reinterpret_cast<LPOLESTR>(text.data()));
  Ref<IErrorInfo> info;
  if (created->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.put())) >= 0) {
    SetErrorInfo(0, info.get());
  }
  return status;
}

std::string TakeErrorDescription() {
  Ref<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return {};
  OwnedBstr description;
  if (info->GetDescription(description.put()) < 0) return {};
  return description.Utf8();
}

}  // namespace quillet::host
