// The reference host's window services. The application handle is the
// host's hidden main window (none where module windows are headless), and a
// module form's modal run is counted.
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

  int ModalDepth() const { return depth_; }
  int ModalRuns() const { return runs_; }

 private:
  HostWindow window_;
  int depth_ = 0;
  int runs_ = 0;
};

// No icons: a plug-in window gets none from this host.
class ApplicationIcons final : public RefCounted<IApplicationIcons> {
 public:
  ApplicationIcons() : RefCounted(IID_IApplicationIcons) {}

  HRESULT STDMETHODCALLTYPE GetSmallIcon(IconHandle* icon) override;
  HRESULT STDMETHODCALLTYPE GetLargeIcon(IconHandle* icon) override;
};

}  // namespace quillet::host
