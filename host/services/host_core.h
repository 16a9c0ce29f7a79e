// ICore of the reference host: its version, and every other host interface
// reached from it by QueryInterface.
#pragma once

#include <quillet/plugin_api.h>

#include "host/services/application_windows.h"
#include "host/services/host_kernel.h"
#include "host/services/host_server.h"
#include "host/services/menu_manager.h"
#include "host/services/ref.h"

namespace quillet::host {

class HostCore final : public RefCounted<ICore> {
 public:
  HostCore(Database& db, Journal& journal, HostVariables variables);

  HRESULT STDMETHODCALLTYPE GetVersion(std::int32_t* version) override;

  HostKernel& Kernel() { return *kernel_.get(); }
  HostServer& Server() { return *server_.get(); }
  MenuManager& Menus() { return *menus_.get(); }

 private:
  HRESULT QueryOther(REFIID iid, void** object) override;

  Ref<HostKernel> kernel_;
  Ref<HostServer> server_;
  Ref<ApplicationWindows> windows_;
  Ref<ApplicationIcons> icons_;
  Ref<MenuManager> menus_;
};

}  // namespace quillet::host
