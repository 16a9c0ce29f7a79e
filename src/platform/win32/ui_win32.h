// The Win32 peers: the windows behind a form and its controls, from the
// form's HandleNeeded until the control or form is destroyed. The state
// they show stays in ControlState and FormState. Notifications reach a
// control's peer through the property kControlProperty on each of its
// windows, and a form's through its window's user data.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control_state.h"
#include "platform/ui/form_state.h"
#include "platform/ui/peers.h"

namespace quillet::ui::win32 {

// The windows of one control: its own (for DialogButtons the OK button),
// and a second one (ButtonEdit's embedded button, DialogButtons' Cancel).
// Status panes have none: they are parts of their bar's window.
class ControlWindow final : public ControlPeer {
 public:
  explicit ControlWindow(ControlState& shown) : state(shown) {}
  ~ControlWindow() override;
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  void Update(ControlChange change) override;
  void UpdateMemoText(std::size_t kept) override;
  void ScrollMemo(int lines) override;
  std::optional<std::u16string> ShownText() const override;
  std::optional<int> ShownItemIndex() const override;
  std::optional<int> ShownTopLine() const override;
  std::optional<bool> ShownCancelFocus() const override;

  // Sets the window's text from code without raising the control's
  // OnChange through EN_CHANGE; the control raises it once itself.
  void WriteTextFromCode(std::u16string_view text);
  void ShowItems();

  ControlState& state;
  HWND hwnd{};
  HWND second{};
  WNDPROC originalProc = nullptr;  // a subclassed edit's own procedure
  int part = -1;                   // a status pane's part of its bar
  bool settingText = false;        // a change from code: no EN_CHANGE event
  bool windowBackground = false;   // read-only edits keep the window colour
  std::function<void(HWND from, UINT code)> onCommand;
  std::function<void(const DRAWITEMSTRUCT& item)> onDraw;
};

// Disables the owner window of a modal form for the object's lifetime.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(HWND owner);
  ~OwnerDisabled();
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;

 private:
  HWND owner_;
};

// The form's window, its fonts and its modal run.
class FormWindow final : public FormPeer {
 public:
  explicit FormWindow(FormState& shown) : state(shown) {}
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  void AddPlatformStyles(WindowCreateParams& params) const override;
  WindowHandle MakeWindow(const WindowCreateParams& params) override;
  void MakeControlWindows() override;
  void Update(FormChange change) override;
  void Hide() override;
  std::optional<std::u16string> ShownCaption() const override;
  std::optional<IconHandle> SwapIcon(int slot, IconHandle icon) override;
  std::optional<IconHandle> ShownIcon(int slot) const override;
  void BeginModal() override;
  void RunModal() override;
  void EndModal() override;

  FormState& state;
  bool activated = false;  // OnActivate has run in this modal run
  HFONT font{};
  HFONT boldFont{};
  std::optional<OwnerDisabled> ownerDisabled;  // during the modal run
};

// Every control's and form's peer on Win32 is one of these.
ControlWindow& WindowOf(const Control& control);
FormWindow& WindowOf(const Form& form);

inline constexpr wchar_t kControlProperty[] = L"Quillet.Control";

inline const wchar_t* WideText(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
std::u16string ReadWindowText(HWND window);
void WriteWindowText(HWND window, std::u16string_view text);

HINSTANCE ModuleInstance();
// The registered classes of the framework's own windows.
const wchar_t* FormClassName();
const wchar_t* PanelClassName();

// The notifications of child windows, for the form and the panels:
// WM_COMMAND, WM_DRAWITEM and WM_CTLCOLOR*; false when msg is none of them.
bool RouteChildMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Creates the windows of every control of form, then lays them out.
void CreateControlWindows(Form& form);
void DestroyControlWindows(ControlWindow& control);
// Positions the controls of one container (the form: null) by Align and bounds.
void LayoutChildren(Form& form, Control* container, RECT area);
// Parts and texts of a status bar from its panes.
void UpdateStatusParts(Control& bar);
void DrawProgressPane(const ControlState& pane, const DRAWITEMSTRUCT& item);
void DrawDecorativePicture(const DRAWITEMSTRUCT& item);

// The forms running modally, innermost last: ProcessMessages gives their
// keyboard messages to IsDialogMessage.
std::vector<HWND>& ModalWindows();
bool HandleWaitCursor();  // WM_SETCURSOR: true when the wait cursor was set

}  // namespace quillet::ui::win32
