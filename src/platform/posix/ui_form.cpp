// Forms, headless. A window is a number and its state; the modal run is
// the batch operator described in form.h.
#include "platform/ui/form.h"

#include "platform/posix/ui_headless.h"
#include "platform/ui/application.h"

namespace quillet::ui {
namespace {

WindowHandle nextHandle = 0x1000;

int IconSlot(IconKind kind) { return kind == IconKind::Large ? 1 : 0; }

// Marks the form as running modally for the lifetime of the object.
class ModalScope {
 public:
  explicit ModalScope(Form::Impl& form) : form_(form) { form_.modal = true; }
  ~ModalScope() {
    form_.modal = false;
    headless::FinishConsoleLine();
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  Form::Impl& form_;
};

}  // namespace

Form::Form() : impl_(std::make_unique<Impl>()) {}

Form::~Form() = default;

std::u16string Form::Caption() const { return impl_->caption; }

void Form::SetCaption(std::u16string_view caption) { impl_->caption = caption; }

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
  impl_->created = params;
  impl_->handle = nextHandle++;
}

bool Form::HandleAllocated() const { return impl_->handle != WindowHandle{}; }

WindowHandle Form::Handle() const { return impl_->handle; }

const WindowCreateParams& Form::CreatedParams() const { return impl_->created; }

int Form::ShowModal() {
  impl_->modalResult = mrNone;
  HandleNeeded();
  ModalScope modal(*impl_);
  DoShow();
  Activate();
  if (impl_->modalResult == mrNone && impl_->defaultButtons != nullptr) impl_->defaultButtons->ClickOk();
  if (impl_->modalResult == mrNone) impl_->modalResult = mrCancel;
  DispatchEvent(OnClose);
  return impl_->modalResult;
}

int Form::ModalResult() const { return impl_->modalResult; }

void Form::SetModalResult(int result) { impl_->modalResult = result; }

void Form::Close() {
  if (impl_->modal) {
    impl_->modalResult = mrCancel;
    return;
  }
  DispatchEvent(OnClose);
}

void Form::Activate() { DispatchEvent(OnActivate); }

IconHandle Form::SetIcon(IconKind kind, IconHandle icon) {
  IconHandle previous = impl_->icons[IconSlot(kind)];
  impl_->icons[IconSlot(kind)] = icon;
  return previous;
}

IconHandle Form::Icon(IconKind kind) const { return impl_->icons[IconSlot(kind)]; }

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
}

void Form::DoShow() {
  if (OnShow) OnShow();
}

}  // namespace quillet::ui
