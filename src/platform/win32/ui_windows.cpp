// The windows behind the controls: which system class each kind is made
// of, how the controls are laid out, and how their notifications reach
// the control objects.
#include "platform/ui/application.h"
#include "platform/win32/ui_win32.h"
// (after <windows.h>, which the common controls need first)
#include <commctrl.h>

namespace quillet::ui::win32 {
namespace {

// Sizes in pixels at the designed font, as the dialog's layout assumes.
constexpr int kEditButtonWidth = 18;
constexpr int kButtonHeight = 25;
constexpr int kComboDropHeight = 120;

// Every window the framework makes carries its control in a window
// property, so a notification sent to the parent finds its control
// without a table of handles.
ControlWindow* ControlOf(HWND window) {
  return window != nullptr ? static_cast<ControlWindow*>(GetPropW(window, kControlProperty)) : nullptr;
}

// The nearest container that has a window; a container without one (a
// status pane) does not count.
HWND ParentWindow(const ControlState& control) {
  for (Control* parent = control.parent; parent != nullptr; parent = parent->impl().parent) {
    if (WindowOf(*parent).hwnd != nullptr) return WindowOf(*parent).hwnd;
  }
  return control.form->impl().handle;
}

HWND MakeChild(ControlWindow& control, DWORD exStyle, const wchar_t* className, const std::u16string& text,
               DWORD style, HWND parent, int id = 0) {
  const ControlState& c = control.state;
  HWND window =
      CreateWindowExW(exStyle, className, WideText(text), WS_CHILD | style, c.left, c.top, c.width, c.height,
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
  if (window == nullptr) return nullptr;
  SetPropW(window, kControlProperty, &control);
  const FormWindow& form = WindowOf(*c.form);
  // Child windows start with the system font; each gets the form's, which
  // the form owns and deletes after its children are gone.
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(c.bold ? form.boldFont : form.font), FALSE);
  return window;
}

// The edit's own procedure, with the clicks of its embedded button passed on.
LRESULT CALLBACK ButtonEditProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  ControlWindow* control = ControlOf(window);
  if (control == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == control->second) {
    if (HIWORD(wParam) == BN_CLICKED) static_cast<ButtonEdit*>(control->state.self)->ClickButton();
    return 0;
  }
  return CallWindowProcW(control->originalProc, window, msg, wParam, lParam);
}

void CreatePanel(ControlWindow& w, HWND parent) {
  const ControlState& c = w.state;
  w.hwnd = MakeChild(w, WS_EX_CONTROLPARENT, PanelClassName(), u"",
                     WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (c.border ? WS_BORDER : 0), parent);
}

void CreateLabel(ControlWindow& w, HWND parent) {
  w.hwnd = MakeChild(w, 0, L"STATIC", w.state.text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, parent);
}

void CreateButtonEdit(ButtonEdit& edit, ControlWindow& w, HWND parent) {
  w.hwnd = MakeChild(w, WS_EX_CLIENTEDGE, L"EDIT", w.state.text,
                     WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | WS_CLIPCHILDREN, parent);
  if (w.hwnd == nullptr) return;
  RECT client{};
  GetClientRect(w.hwnd, &client);
  w.second = CreateWindowExW(0, L"BUTTON", L"...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                             client.right - kEditButtonWidth, 0, kEditButtonWidth, client.bottom, w.hwnd,
                             nullptr, ModuleInstance(), nullptr);
  SetPropW(w.second, kControlProperty, &w);
  SendMessageW(w.second, WM_SETFONT, reinterpret_cast<WPARAM>(WindowOf(*w.state.form).font), FALSE);
  SendMessageW(w.hwnd, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, kEditButtonWidth + 2));
  w.originalProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(w.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonEditProc)));
  w.onCommand = [&edit, &w](HWND, UINT code) {
    if (code == EN_CHANGE && !w.settingText) DispatchEvent(edit.OnChange);
  };
}

void CreateComboList(ComboList& combo, ControlWindow& w, HWND parent) {
  ControlState& c = w.state;
  const int height = c.height;
  c.height = height + kComboDropHeight;  // the window includes its drop-down list
  w.hwnd = MakeChild(w, 0, L"COMBOBOX", u"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, parent);
  c.height = height;
  w.Update(ControlChange::Items);
  w.Update(ControlChange::ItemIndex);
  w.onCommand = [&combo](HWND, UINT code) {
    if (code == CBN_SELCHANGE) DispatchEvent(combo.OnChange);
  };
}

void CreateMemo(ControlWindow& w, HWND parent) {
  const ControlState& c = w.state;
  DWORD style = WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | (c.readOnly ? ES_READONLY : 0);
  if (!c.wordWrap) style |= ES_AUTOHSCROLL;
  if (c.horizontalScroll && !c.wordWrap) style |= WS_HSCROLL;
  if (c.verticalScroll) style |= WS_VSCROLL;
  w.hwnd = MakeChild(w, WS_EX_CLIENTEDGE, L"EDIT", c.text, style, parent);
  // 0 lifts the edit's limit of 32767 characters: an import's transcript
  // grows longer.
  SendMessageW(w.hwnd, EM_SETLIMITTEXT, 0, 0);
  w.windowBackground = true;
}

// OK above Cancel in the control's bounds, both as wide as the column.
void CreateDialogButtons(DialogButtons& buttons, ControlWindow& w, HWND parent) {
  ControlState& c = w.state;
  const DWORD style = WS_VISIBLE | WS_TABSTOP;
  const int left = c.left;
  const int top = c.top;
  const int height = c.height;
  c.height = kButtonHeight;
  w.hwnd = MakeChild(w, 0, L"BUTTON", c.text, style | BS_DEFPUSHBUTTON, parent, IDOK);
  // Cancel sits at the bottom of the column when it is tall enough, else
  // right under OK with a small gap.
  c.top = top + (height > 2 * kButtonHeight ? height - kButtonHeight : kButtonHeight + 6);
  w.second = MakeChild(w, 0, L"BUTTON", c.cancelText, style | BS_PUSHBUTTON, parent, IDCANCEL);
  c.left = left;
  c.top = top;
  c.height = height;
  EnableWindow(w.hwnd, c.enabled && c.okEnabled);
  EnableWindow(w.second, c.enabled);
  w.onCommand = [&buttons, &w](HWND from, UINT code) {
    if (code != BN_CLICKED) return;
    if (from == w.hwnd) buttons.ClickOk();
    if (from == w.second) buttons.ClickCancel();
  };
}

void CreateImage(ControlWindow& w, HWND parent) {
  w.hwnd = MakeChild(w, 0, L"STATIC", u"", WS_VISIBLE | SS_OWNERDRAW, parent);
  w.onDraw = [](const DRAWITEMSTRUCT& item) { DrawDecorativePicture(item); };
}

void CreateStatusBar(Control& bar, ControlWindow& w, HWND parent) {
  w.hwnd = MakeChild(w, 0, STATUSCLASSNAMEW, u"",
                     WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, parent);
  w.onDraw = [&bar](const DRAWITEMSTRUCT& item) {
    for (Control* pane : bar.OwnerForm().impl().controls) {
      if (pane->Parent() == &bar && WindowOf(*pane).part == static_cast<int>(item.itemID)) {
        DrawProgressPane(pane->impl(), item);
      }
    }
  };
}

void CreateWindowOf(Control& control) {
  ControlWindow& w = WindowOf(control);
  const HWND parent = ParentWindow(w.state);
  // The most derived kinds are asked for in an order where none is another's
  // base: each control gets exactly one window kind.
  if (dynamic_cast<Panel*>(&control) != nullptr) return CreatePanel(w, parent);
  if (dynamic_cast<Label*>(&control) != nullptr) return CreateLabel(w, parent);
  if (auto* edit = dynamic_cast<ButtonEdit*>(&control)) return CreateButtonEdit(*edit, w, parent);
  if (auto* combo = dynamic_cast<ComboList*>(&control)) return CreateComboList(*combo, w, parent);
  if (dynamic_cast<Memo*>(&control) != nullptr) return CreateMemo(w, parent);
  if (auto* buttons = dynamic_cast<DialogButtons*>(&control)) return CreateDialogButtons(*buttons, w, parent);
  if (dynamic_cast<Image*>(&control) != nullptr) return CreateImage(w, parent);
  if (dynamic_cast<StatusBar*>(&control) != nullptr) return CreateStatusBar(control, w, parent);
  // Status panes are parts of their bar and have no window of their own.
}

void Place(Control& control, int left, int top, int width, int height) {
  Control::Impl& c = control.impl();
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  WindowOf(control).Update(ControlChange::Bounds);
}

// One edge alignment: the control takes its width or height from that
// edge of the area, which shrinks by as much.
void AlignToEdge(Control& control, RECT& area) {
  const Control::Impl& c = control.impl();
  switch (c.align) {
    case Align::Top:
      Place(control, area.left, area.top, area.right - area.left, c.height);
      area.top += c.height;
      break;
    case Align::Bottom:
      Place(control, area.left, area.bottom - c.height, area.right - area.left, c.height);
      area.bottom -= c.height;
      break;
    case Align::Left:
      Place(control, area.left, area.top, c.width, area.bottom - area.top);
      area.left += c.width;
      break;
    case Align::Right:
      Place(control, area.right - c.width, area.top, c.width, area.bottom - area.top);
      area.right -= c.width;
      break;
    case Align::Client:
      Place(control, area.left, area.top, area.right - area.left, area.bottom - area.top);
      break;
    case Align::None:
      break;
  }
}

}  // namespace

// Parents come before their children in the form's list, so a child's
// parent window always exists when the child's is made. The form's own
// children are laid out first, then each panel's in the panel's bounds.
void CreateControlWindows(Form& form) {
  for (Control* control : form.impl().controls) {
    if (WindowOf(*control).hwnd == nullptr) CreateWindowOf(*control);
  }
  RECT client{};
  GetClientRect(form.impl().handle, &client);
  LayoutChildren(form, nullptr, client);
  for (Control* control : form.impl().controls) {
    if (dynamic_cast<Panel*>(control) != nullptr) {
      RECT area{0, 0, control->impl().width, control->impl().height};
      LayoutChildren(form, control, area);
    }
    if (dynamic_cast<StatusBar*>(control) != nullptr) UpdateStatusParts(*control);
  }
}

// Edges in the order top, bottom, left, right, then the client control;
// controls without alignment keep their bounds.
void LayoutChildren(Form& form, Control* container, RECT area) {
  for (const Align align : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
    for (Control* control : form.impl().controls) {
      if (control->Parent() == container && control->impl().align == align &&
          dynamic_cast<StatusPane*>(control) == nullptr && dynamic_cast<ProgressPane*>(control) == nullptr) {
        AlignToEdge(*control, area);
      }
    }
  }
}

void DestroyControlWindows(ControlWindow& control) {
  if (control.second != nullptr && IsWindow(control.second)) {
    // The property goes first: messages sent during destruction must not reach
    // a control object that is going away.
    RemovePropW(control.second, kControlProperty);
    DestroyWindow(control.second);
  }
  if (control.hwnd != nullptr && IsWindow(control.hwnd)) {
    if (control.originalProc != nullptr) {
      // The subclassed edit gets its own procedure back, so that its last
      // messages do not call into this one.
      SetWindowLongPtrW(control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control.originalProc));
    }
    RemovePropW(control.hwnd, kControlProperty);
    DestroyWindow(control.hwnd);
  }
  control.hwnd = nullptr;
  control.second = nullptr;
}

bool RouteChildMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    // Notifications go to the parent window; they are routed back to the
    // control that sent them, whatever container stands between.
    case WM_COMMAND:
      if (ControlWindow* control = ControlOf(reinterpret_cast<HWND>(lParam)); control && control->onCommand) {
        control->onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        result = 0;
        return true;
      }
      return false;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (ControlWindow* control = ControlOf(item->hwndItem); control && control->onDraw) {
        control->onDraw(*item);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
      // Read-only edits keep the window colour; labels the face colour.
      if (ControlWindow* control = ControlOf(reinterpret_cast<HWND>(lParam));
          control && control->windowBackground) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace quillet::ui::win32
