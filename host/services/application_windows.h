// The reference host's window services. The application handle is the
// host's hidden main window (none where module windows are headless); a
// module form's modal run needs nothing more from the host.
#pragma once

#include <quillet/plugin_api.h>

#include "host/os/host_window.h"
#include "host/services/ref.h"

namespace quillet::host {

class ApplicationWindows final : public RefCounted<IApplicationWindows> {
 public:
  ApplicationWindows() : RefCounted(IID_IApplicationWindows) {}

  HRESULT STDMETHODCALLTYPE GetApplicationHandle(WindowHandle* handle) override;
  HRESULT STDMETHODCALLTYPE BeginModal() override;
  HRESULT STDMETHODCALLTYPE EndModal() override;

 private:
  HostWindow window_;
};

// No icons: a plug-in window gets none from this host.
class ApplicationIcons final : public RefCounted<IApplicationIcons> {
 public:
  ApplicationIcons() : RefCounted(IID_IApplicationIcons) {}

  HRESULT STDMETHODCALLTYPE GetSmallIcon(IconHandle* icon) override;
  HRESULT STDMETHODCALLTYPE GetLargeIcon(IconHandle* icon) override;
};

}  // namespace quillet::host
