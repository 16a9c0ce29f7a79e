// Forms: their properties, window creation and the modal run, the same on
// every platform. The form's peer makes and shows the window and runs the
// modal loop (Win32) or the batch operator (headless).
#include "platform/ui/form.h"

#include "platform/ui/application.h"
#include "platform/ui/form_state.h"
#include "platform/ui/peers.h"

namespace quillet::ui {
namespace {

int IconSlot(IconKind kind) { return kind == IconKind::Large ? 1 : 0; }

// The form runs modally for the lifetime of the object, and the peer's
// modal state with it, also when the run ends by an exception.
class ModalRun {
 public:
  explicit ModalRun(Form::Impl& form) : form_(form) {
    form_.peer->BeginModal();
    form_.modal = true;
  }
  ~ModalRun() {
    form_.peer->EndModal();
    form_.modal = false;
  }
  ModalRun(const ModalRun&) = delete;
  ModalRun& operator=(const ModalRun&) = delete;

 private:
  Form::Impl& form_;
};

}  // namespace

Form::Form() : impl_(std::make_unique<Impl>()) {
  impl_->self = this;
  impl_->peer = NewFormPeer(*impl_);
}

Form::~Form() = default;

std::u16string Form::Caption() const { return impl_->peer->ShownCaption().value_or(impl_->caption); }

void Form::SetCaption(std::u16string_view caption) {
  impl_->caption = caption;
  impl_->peer->Update(FormChange::Caption);
}

void Form::SetClientSize(int width, int height) {
  impl_->clientWidth = width;
  impl_->clientHeight = height;
}

void Form::SetBorder(FormBorder border) { impl_->border = border; }

void Form::SetPosition(FormPosition position) { impl_->position = position; }

void Form::SetFont(std::u16string_view name, int points) {
  impl_->fontName = name;
  impl_->fontPoints = points;
}

void Form::HandleNeeded() {
  if (HandleAllocated()) return;
  WindowCreateParams params;
  CreateParams(params);
  impl_->handle = impl_->peer->MakeWindow(params);
  if (HandleAllocated()) impl_->peer->MakeControlWindows();
}

bool Form::HandleAllocated() const { return impl_->handle != WindowHandle{}; }

WindowHandle Form::Handle() const { return impl_->handle; }

int Form::ShowModal() {
  impl_->modalResult = mrNone;
  HandleNeeded();
  ModalRun modal(*impl_);
  DoShow();
  impl_->peer->RunModal();
  if (impl_->modalResult == mrNone) impl_->modalResult = mrCancel;  // nobody chose: the run was cancelled
  DispatchEvent(OnClose);
  return impl_->modalResult;
}

int Form::ModalResult() const { return impl_->modalResult; }

void Form::SetModalResult(int result) {
  impl_->modalResult = result;
  impl_->peer->Update(FormChange::ModalResult);
}

void Form::Close() {
  if (impl_->modal) {
    SetModalResult(mrCancel);
    return;
  }
  DispatchEvent(OnClose);
  impl_->peer->Hide();
}

void Form::Activate() { DispatchEvent(OnActivate); }

IconHandle Form::SetIcon(IconKind kind, IconHandle icon) {
  const int slot = IconSlot(kind);
  const IconHandle previous = impl_->peer->SwapIcon(slot, icon).value_or(impl_->icons[slot]);
  impl_->icons[slot] = icon;
  return previous;
}

IconHandle Form::Icon(IconKind kind) const {
  const int slot = IconSlot(kind);
  return impl_->peer->ShownIcon(slot).value_or(impl_->icons[slot]);
}

// A fixed dialog border has no sizing frame; the width and height are
// those of the client area.
void Form::CreateParams(WindowCreateParams& params) {
  params.caption = impl_->caption;
  params.style = kStylePopup | kStyleCaption | kStyleSysMenu;
  if (impl_->border == FormBorder::Dialog) {
    params.style |= kStyleModalFrame;
    params.exStyle |= kExStyleDlgModalFrame;
  }
  params.parent = OwnerWindow();
  params.width = impl_->clientWidth;
  params.height = impl_->clientHeight;
  impl_->peer->AddPlatformStyles(params);
}

void Form::DoShow() {
  if (OnShow) OnShow();
}

}  // namespace quillet::ui
