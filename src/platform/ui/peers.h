// The screen behind the window framework. Controls and forms keep every
// property in their state (ControlState, FormState) and behave alike on
// every platform; a peer only shows that state. The shared code tells the
// peer after each change, and asks it for what the operator may have
// changed on the screen (typed text, a chosen item, the focus).
//
// Each platform defines the two factories and the two module-wide
// services at the end. Win32 peers own real windows,
// which exist from the form's HandleNeeded until the control or form is
// destroyed; the headless peers have no windows and draw on the console.
#pragma once

#include <quillet/plugin_api.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::ui {

struct ControlState;
struct FormState;
struct WindowCreateParams;

// What changed in a control's state.
enum class ControlChange {
  Bounds,
  Enabled,  // also DialogButtons' OK and Cancel
  Text,     // of labels and edits
  Bold,
  Picture,
  Items,
  ItemIndex,
  ReadOnly,
  Captions,  // DialogButtons
  CancelFocus,
  PaneText,
  PaneFrame,
  Percent,
};

// A peer shows nothing but what it overrides: the headless screen has
// room for little.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;

  // Shows one change of the state.
  virtual void Update(ControlChange) {}
  // Shows a memo's new text, whose first kept characters were shown
  // before (0: none of it was).
  virtual void UpdateMemoText(std::size_t /*kept*/) {}
  // Scrolls a memo by lines (positive: down).
  virtual void ScrollMemo(int /*lines*/) {}

  // What the screen shows where the operator can change it; nullopt where
  // nothing shows it, and the state holds the value.
  virtual std::optional<std::u16string> ShownText() const { return std::nullopt; }
  virtual std::optional<int> ShownItemIndex() const { return std::nullopt; }
  virtual std::optional<int> ShownTopLine() const { return std::nullopt; }
  virtual std::optional<bool> ShownCancelFocus() const { return std::nullopt; }
};

// What changed in a form's state.
enum class FormChange { Caption, ModalResult };

class FormPeer {
 public:
  virtual ~FormPeer() = default;

  // Adds the platform's own style bits to the creation parameters.
  virtual void AddPlatformStyles(WindowCreateParams& /*params*/) const {}
  // Creates the form's window; null when it could not be made.
  virtual WindowHandle MakeWindow(const WindowCreateParams& params) = 0;
  // Creates the windows of the form's controls, once the form's exists.
  virtual void MakeControlWindows() {}

  virtual void Update(FormChange) {}
  virtual void Hide() {}
  virtual std::optional<std::u16string> ShownCaption() const { return std::nullopt; }
  // Sets the window's icon in slot (IconKind's value); returns the icon
  // the window had, or nullopt when there is no window.
  virtual std::optional<IconHandle> SwapIcon(int /*slot*/, IconHandle /*icon*/) { return std::nullopt; }
  virtual std::optional<IconHandle> ShownIcon(int /*slot*/) const { return std::nullopt; }

  // The modal run: BeginModal before the show step; RunModal shows the
  // form and returns once it has a modal result or the platform ends the
  // run; EndModal afterwards, also when the run ends by an exception.
  virtual void BeginModal() {}
  virtual void RunModal() = 0;
  virtual void EndModal() {}
};

// Defined by each platform; the peer keeps a reference to the state, which
// owns it.
std::unique_ptr<ControlPeer> NewControlPeer(ControlState& state);
std::unique_ptr<FormPeer> NewFormPeer(FormState& state);

// The platform's own error box, when no hook takes the text (application.h).
void ShowSystemErrorBox(std::u16string_view text);
// The wait cursor (wait) or the normal one, as the wait cursor's depth
// leaves or returns to 0.
void ShowSystemCursor(bool wait);

}  // namespace quillet::ui
