#include "host/services/host_core.h"

#include <utility>

namespace quillet::host {

HostCore::HostCore(Database& db, Journal& journal, HostVariables variables)
    : RefCounted(IID_ICore),
      kernel_(MakeRef<HostKernel>(journal, std::move(variables))),
      server_(MakeRef<HostServer>(db, journal)),
      windows_(MakeRef<ApplicationWindows>()),
      icons_(MakeRef<ApplicationIcons>()),
      menus_(MakeRef<MenuManager>()) {
  kernel_->SetRefreshAction([server = server_.get()] { server->CommitWrites(); });
}

HRESULT HostCore::GetVersion(std::int32_t* version) {
  if (version == nullptr) return E_POINTER;
  *version = HostVersionNumber();
  return S_OK;
}

HRESULT HostCore::QueryOther(REFIID iid, void** object) {
  IUnknown* found = nullptr;
  if (iid == IID_IHostKernel) found = static_cast<IHostKernel*>(kernel_.get());
  if (iid == IID_IHostServer) found = static_cast<IHostServer*>(server_.get());
  if (iid == IID_IApplicationWindows) found = static_cast<IApplicationWindows*>(windows_.get());
  if (iid == IID_IApplicationIcons) found = static_cast<IApplicationIcons*>(icons_.get());
  if (iid == IID_IMenuManager) found = static_cast<IMenuManager*>(menus_.get());
  if (found == nullptr) return E_NOINTERFACE;
  found->AddRef();
  *object = found;
  return S_OK;
}

}  // namespace quillet::host
