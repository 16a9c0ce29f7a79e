// The Win32 window framework's own objects. A form and each control keep
// their properties here and, once the form's window exists, the window
// handles behind them. Notifications reach a control through the property
// kControlProperty on each of its windows, which points at its Impl.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control_state.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace quillet::ui {

struct Form::Impl {
  ~Impl();

  Form* self = nullptr;
  std::u16string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  FormBorder border = FormBorder::Sizeable;
  FormPosition position = FormPosition::Designed;
  std::u16string fontName = u"Tahoma";
  int fontPoints = 8;
  HWND handle{};
  WindowCreateParams created;
  int modalResult = mrNone;
  bool modal = false;
  bool activated = false;  // OnActivate has run in this modal run
  std::array<HICON, 2> icons{};
  DialogButtons* defaultButtons = nullptr;
  std::vector<Control*> controls;  // in creation order, parents first
  HFONT font{};
  HFONT boldFont{};
};

struct Control::Impl : ControlState {
  Control* self = nullptr;
  // Windows (while they exist they, not ControlState, hold the text): the control's own (for DialogButtons the OK button), and a
  // second one (ButtonEdit's embedded button, DialogButtons' Cancel).
  HWND hwnd{};
  HWND second{};
  WNDPROC originalProc = nullptr;  // a subclassed edit's own procedure
  int part = -1;                   // a status pane's part of its bar
  bool settingText = false;        // a change from code: no EN_CHANGE event
  bool windowBackground = false;   // read-only edits keep the window colour
  std::function<void(HWND from, UINT code)> onCommand;
  std::function<void(const DRAWITEMSTRUCT& item)> onDraw;
};

namespace win32 {

inline constexpr wchar_t kControlProperty[] = L"Quillet.Control";

inline const wchar_t* WideText(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
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
void DestroyControlWindows(Control::Impl& control);
// Positions the controls of one container (the form: null) by Align and bounds.
void LayoutChildren(Form& form, Control* container, RECT area);
// Parts and texts of a status bar from its panes.
void UpdateStatusParts(Control& bar);
void DrawProgressPane(const Control::Impl& pane, const DRAWITEMSTRUCT& item);
void DrawDecorativePicture(const DRAWITEMSTRUCT& item);

// The forms running modally, innermost last: ProcessMessages gives their
// keyboard messages to IsDialogMessage.
std::vector<HWND>& ModalWindows();
bool HandleWaitCursor();  // WM_SETCURSOR: true when the wait cursor was set

}  // namespace win32
}  // namespace quillet::ui
