// The base of every window of the module: a framework form tied to the
// host. It brackets its modal run with the host's BeginModal and EndModal,
// gives the window the host's icons each time it is shown, and applies a
// placement rule to the window-creation parameters.
#pragma once

#include <quillet/plugin_api.h>

#include <cstdint>

#include "platform/ui/form.h"
#include "runtime/com_ptr.h"

namespace quillet {

// Placement modes: how a form's window relates to ParentWindow.
//   0 (and any value above 4): as the framework prepared it;
//   1: no parent;
//   2: ParentWindow as parent, no taskbar button (WS_EX_APPWINDOW cleared);
//   3: ParentWindow as parent, with a taskbar button (WS_EX_APPWINDOW set);
//   4: ParentWindow as parent, as a child window (WS_CHILD set).
void ApplyPlacementRule(std::uint8_t mode, WindowHandle parentWindow, ui::WindowCreateParams& params);

class TForm : public ui::Form {
 public:
  // Keeps core and asks it for IApplicationWindows; raises EAssertionFailed
  // "Assertion failure (PluginForm, line 47)" when the host has none.
  explicit TForm(ICore* core);
  ~TForm() override;

  // BeginModal, the framework's modal run, EndModal (also when the run
  // ends by an exception, which then continues); returns the modal result.
  // A failure status of BeginModal prevents the run; one of EndModal is
  // raised after it.
  int ShowModal() override;

  ComPtr<ICore> Core;
  ComPtr<IApplicationWindows> AppWindows;
  std::uint8_t PlacementMode = 0;
  WindowHandle ParentWindow{};

 protected:
  void CreateParams(ui::WindowCreateParams& params) override;
  // Runs SetHostIcons, then the framework's show step.
  void DoShow() override;

 private:
  // Gives the window the host's small and large icons, when the host
  // offers IApplicationIcons; the window's previous icons are destroyed.
  void SetHostIcons();
  void AttachHostIcon(ui::IconKind kind, IconHandle icon);
};

}  // namespace quillet
