#include "dialog/plugin_form.h"

#include "platform/ui/application.h"
#include "runtime/exceptions.h"
#include "runtime/safe_call.h"

namespace quillet {
namespace {

// Every form runs modal through the host's IApplicationWindows (so that the
// host's own windows are disabled meanwhile): without it no form can be
// shown, so a form is not even created.
ComPtr<IApplicationWindows> RequireAppWindows(ICore* core) {
  ComPtr<IApplicationWindows> windows =
      ComPtr<ICore>::Borrow(core).Query<IApplicationWindows>(IID_IApplicationWindows);
  if (!windows) throw EAssertionFailed::At(u"Assertion failure", u"PluginForm", 47);
  return windows;
}

}  // namespace

void ApplyPlacementRule(std::uint8_t mode, WindowHandle parentWindow, ui::WindowCreateParams& params) {
  switch (mode) {
    case 1:
      params.parent = WindowHandle{};
      break;
    case 2:
      params.parent = parentWindow;
      params.exStyle &= ~ui::kExStyleAppWindow;
      break;
    case 3:
      params.parent = parentWindow;
      params.exStyle |= ui::kExStyleAppWindow;
      break;
    case 4:
      params.parent = parentWindow;
      params.style |= ui::kStyleChild;
      break;
    default:
      break;
  }
}

TForm::TForm(ICore* core) : Core(ComPtr<ICore>::Borrow(core)), AppWindows(RequireAppWindows(core)) {}

TForm::~TForm() = default;

int TForm::ShowModal() {
  Check(AppWindows->BeginModal());
  int result = ui::mrNone;
  try {
    result = ui::Form::ShowModal();
  } catch (...) {
    // The run's own exception goes on; a failure of EndModal must not replace it.
    AppWindows->EndModal();
    throw;
  }
  Check(AppWindows->EndModal());
  return result;
}

void TForm::CreateParams(ui::WindowCreateParams& params) {
  ui::Form::CreateParams(params);
  ApplyPlacementRule(PlacementMode, ParentWindow, params);
}

void TForm::DoShow() {
  SetHostIcons();
  ui::Form::DoShow();
}

// A host without icons leaves the form the framework's own.
void TForm::SetHostIcons() {
  const ComPtr<IApplicationIcons> icons = Core.Query<IApplicationIcons>(IID_IApplicationIcons);
  if (!icons) return;
  IconHandle smallIcon{};
  Check(icons->GetSmallIcon(&smallIcon));
  AttachHostIcon(ui::IconKind::Small, smallIcon);
  IconHandle largeIcon{};
  Check(icons->GetLargeIcon(&largeIcon));
  AttachHostIcon(ui::IconKind::Large, largeIcon);
}

// The form owns the icons it shows: the one it replaces is destroyed, and
// the host's icon is destroyed when it cannot be attached.
void TForm::AttachHostIcon(ui::IconKind kind, IconHandle icon) {
  IconHandle previous{};
  try {
    previous = SetIcon(kind, icon);
  } catch (...) {
    ui::DestroyIcon(icon);
    throw;
  }
  ui::DestroyIcon(previous);
}

}  // namespace quillet
