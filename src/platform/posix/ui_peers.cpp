// The headless peers. A control has no window: only the memo's text and
// the progress pane reach the console. A form's window is a number, and
// its modal run is the batch operator described in form.h.
#include <string_view>

#include "platform/posix/ui_headless.h"
#include "platform/ui/control_state.h"
#include "platform/ui/form_state.h"
#include "platform/ui/peers.h"

namespace quillet::ui {
namespace {

class ConsoleControl final : public ControlPeer {
 public:
  explicit ConsoleControl(const ControlState& state) : state_(state) {}

  void Update(ControlChange change) override {
    if (change == ControlChange::Percent) headless::DrawProgress(state_.percent, state_.segments);
  }
  void UpdateMemoText(std::size_t kept) override {
    headless::WriteConsoleText(std::u16string_view(state_.text).substr(kept));
  }

 private:
  const ControlState& state_;
};

WindowHandle nextHandle = 0x1000;

class BatchForm final : public FormPeer {
 public:
  explicit BatchForm(const FormState& state) : state_(state) {}

  WindowHandle MakeWindow(const WindowCreateParams&) override { return nextHandle++; }
  // The batch operator: the form is activated, then its default button
  // pressed if that is enabled and no handler has decided yet.
  void RunModal() override {
    state_.self->Activate();
    if (state_.modalResult == mrNone && state_.defaultButtons != nullptr) state_.defaultButtons->ClickOk();
  }
  void EndModal() override { headless::FinishConsoleLine(); }

 private:
  const FormState& state_;
};

}  // namespace

std::unique_ptr<ControlPeer> NewControlPeer(ControlState& state) {
  return std::make_unique<ConsoleControl>(state);
}

std::unique_ptr<FormPeer> NewFormPeer(FormState& state) { return std::make_unique<BatchForm>(state); }

}  // namespace quillet::ui
