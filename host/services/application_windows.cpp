#include "host/services/application_windows.h"

namespace quillet::host {

HRESULT ApplicationWindows::GetApplicationHandle(WindowHandle* handle) {
  if (handle == nullptr) return E_POINTER;
  *handle = window_.Handle();
  return S_OK;
}

HRESULT ApplicationWindows::BeginModal() { return S_OK; }

HRESULT ApplicationWindows::EndModal() { return S_OK; }

HRESULT ApplicationIcons::GetSmallIcon(IconHandle* icon) {
  if (icon == nullptr) return E_POINTER;
  *icon = IconHandle{};
  return S_OK;
}

HRESULT ApplicationIcons::GetLargeIcon(IconHandle* icon) {
  if (icon == nullptr) return E_POINTER;
  *icon = IconHandle{};
  return S_OK;
}

}  // namespace quillet::host
