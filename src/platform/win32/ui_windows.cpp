// The windows behind the controls: which system class each kind is made
// of, how the controls are laid out, and how their notifications reach
// the control objects.
#include "platform/ui/application.h"
#include "platform/win32/ui_win32.h"
// (after <windows.h>, which the common controls need first)
#include <commctrl.h>

namespace quillet::ui::win32 {
namespace {

constexpr int kEditButtonWidth = 18;
constexpr int kButtonHeight = 25;
constexpr int kComboDropHeight = 120;

Control::Impl* ControlOf(HWND window) {
  return window != nullptr ? static_cast<Control::Impl*>(GetPropW(window, kControlProperty)) : nullptr;
}

HWND ParentWindow(const Control::Impl& control) {
  for (Control* parent = control.parent; parent != nullptr; parent = parent->impl().parent) {
    if (parent->impl().hwnd != nullptr) return parent->impl().hwnd;
  }
  return control.form->impl().handle;
}

HWND MakeChild(Control::Impl& control, DWORD exStyle, const wchar_t* className, const std::u16string& text,
               DWORD style, HWND parent, int id = 0) {
  HWND window = CreateWindowExW(exStyle, className, WideText(text), WS_CHILD | style, control.left, control.top,
                                control.width, control.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
  if (window == nullptr) return nullptr;
  SetPropW(window, kControlProperty, &control);
  const Form::Impl& form = control.form->impl();
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(control.bold ? form.boldFont : form.font), FALSE);
  return window;
}

DWORD Shown(const Control::Impl& control) { return control.visible ? WS_VISIBLE : 0; }

// The edit's own procedure, with the clicks of its embedded button passed on.
LRESULT CALLBACK ButtonEditProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Control::Impl* control = ControlOf(window);
  if (control == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == control->second) {
    if (HIWORD(wParam) == BN_CLICKED) static_cast<ButtonEdit*>(control->self)->ClickButton();
    return 0;
  }
  return CallWindowProcW(control->originalProc, window, msg, wParam, lParam);
}

void CreatePanel(Control::Impl& c, HWND parent) {
  c.hwnd = MakeChild(c, WS_EX_CONTROLPARENT, PanelClassName(), u"",
                     Shown(c) | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (c.border ? WS_BORDER : 0), parent);
}

void CreateLabel(Control::Impl& c, HWND parent) {
  c.hwnd = MakeChild(c, 0, L"STATIC", c.text, Shown(c) | SS_LEFT | SS_NOPREFIX, parent);
}

void CreateButtonEdit(ButtonEdit& edit, Control::Impl& c, HWND parent) {
  c.hwnd = MakeChild(c, WS_EX_CLIENTEDGE, L"EDIT", c.text,
                     Shown(c) | WS_TABSTOP | ES_AUTOHSCROLL | WS_CLIPCHILDREN, parent);
  if (c.hwnd == nullptr) return;
  RECT client{};
  GetClientRect(c.hwnd, &client);
  c.second = CreateWindowExW(0, L"BUTTON", L"...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                             client.right - kEditButtonWidth, 0, kEditButtonWidth, client.bottom, c.hwnd, nullptr,
                             ModuleInstance(), nullptr);
  SetPropW(c.second, kControlProperty, &c);
  SendMessageW(c.second, WM_SETFONT, reinterpret_cast<WPARAM>(c.form->impl().font), FALSE);
  SendMessageW(c.hwnd, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, kEditButtonWidth + 2));
  c.originalProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonEditProc)));
  c.onCommand = [&edit](HWND, UINT code) {
    if (code == EN_CHANGE && !edit.impl().settingText) DispatchEvent(edit.OnChange);
  };
}

void CreateComboList(ComboList& combo, Control::Impl& c, HWND parent) {
  const int height = c.height;
  c.height = height + kComboDropHeight;  // the window includes its drop-down list
  c.hwnd = MakeChild(c, 0, L"COMBOBOX", u"", Shown(c) | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, parent);
  c.height = height;
  const int index = c.itemIndex;
  combo.SetItems(c.items);
  combo.SetItemIndex(index);
  c.onCommand = [&combo](HWND, UINT code) {
    if (code == CBN_SELCHANGE) DispatchEvent(combo.OnChange);
  };
}

void CreateMemo(Control::Impl& c, HWND parent) {
  DWORD style = Shown(c) | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | (c.readOnly ? ES_READONLY : 0);
  if (!c.wordWrap) style |= ES_AUTOHSCROLL;
  if (c.horizontalScroll && !c.wordWrap) style |= WS_HSCROLL;
  if (c.verticalScroll) style |= WS_VSCROLL;
  c.hwnd = MakeChild(c, WS_EX_CLIENTEDGE, L"EDIT", c.text, style, parent);
  SendMessageW(c.hwnd, EM_SETLIMITTEXT, 0, 0);
  c.text.clear();
  c.windowBackground = true;
}

// OK above Cancel in the control's bounds, both as wide as the column.
void CreateDialogButtons(DialogButtons& buttons, Control::Impl& c, HWND parent) {
  const DWORD style = Shown(c) | WS_TABSTOP;
  const int left = c.left;
  const int top = c.top;
  const int height = c.height;
  c.height = kButtonHeight;
  c.hwnd = MakeChild(c, 0, L"BUTTON", c.text, style | BS_DEFPUSHBUTTON, parent, IDOK);
  c.top = top + (height > 2 * kButtonHeight ? height - kButtonHeight : kButtonHeight + 6);
  c.second = MakeChild(c, 0, L"BUTTON", c.cancelText, style | BS_PUSHBUTTON, parent, IDCANCEL);
  c.left = left;
  c.top = top;
  c.height = height;
  EnableWindow(c.hwnd, c.enabled && c.okEnabled);
  EnableWindow(c.second, c.enabled && c.cancelEnabled);
  c.onCommand = [&buttons](HWND from, UINT code) {
    if (code != BN_CLICKED) return;
    if (from == buttons.impl().hwnd) buttons.ClickOk();
    if (from == buttons.impl().second) buttons.ClickCancel();
  };
}

void CreateImage(Control::Impl& c, HWND parent) {
  c.hwnd = MakeChild(c, 0, L"STATIC", u"", Shown(c) | SS_OWNERDRAW, parent);
  c.onDraw = [](const DRAWITEMSTRUCT& item) { DrawDecorativePicture(item); };
}

void CreateStatusBar(Control& bar, Control::Impl& c, HWND parent) {
  c.hwnd = MakeChild(c, 0, STATUSCLASSNAMEW, u"", Shown(c) | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                     parent);
  c.onDraw = [&bar](const DRAWITEMSTRUCT& item) {
    for (Control* pane : bar.OwnerForm().impl().controls) {
      if (pane->Parent() == &bar && pane->impl().part == static_cast<int>(item.itemID)) {
        DrawProgressPane(pane->impl(), item);
      }
    }
  };
}

void CreateWindowOf(Control& control) {
  Control::Impl& c = control.impl();
  const HWND parent = ParentWindow(c);
  if (dynamic_cast<Panel*>(&control) != nullptr) return CreatePanel(c, parent);
  if (dynamic_cast<Label*>(&control) != nullptr) return CreateLabel(c, parent);
  if (auto* edit = dynamic_cast<ButtonEdit*>(&control)) return CreateButtonEdit(*edit, c, parent);
  if (auto* combo = dynamic_cast<ComboList*>(&control)) return CreateComboList(*combo, c, parent);
  if (dynamic_cast<Memo*>(&control) != nullptr) return CreateMemo(c, parent);
  if (auto* buttons = dynamic_cast<DialogButtons*>(&control)) return CreateDialogButtons(*buttons, c, parent);
  if (dynamic_cast<Image*>(&control) != nullptr) return CreateImage(c, parent);
  if (dynamic_cast<StatusBar*>(&control) != nullptr) return CreateStatusBar(control, c, parent);
  // Status panes are parts of their bar and have no window of their own.
}

void Place(Control& control, int left, int top, int width, int height) {
  Control::Impl& c = control.impl();
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  if (c.hwnd != nullptr && c.second == nullptr) MoveWindow(c.hwnd, left, top, width, height, TRUE);
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

void CreateControlWindows(Form& form) {
  for (Control* control : form.impl().controls) {
    if (control->impl().hwnd == nullptr) CreateWindowOf(*control);
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

void DestroyControlWindows(Control::Impl& control) {
  if (control.second != nullptr && IsWindow(control.second)) {
    RemovePropW(control.second, kControlProperty);
    DestroyWindow(control.second);
  }
  if (control.hwnd != nullptr && IsWindow(control.hwnd)) {
    if (control.originalProc != nullptr) {
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
    case WM_COMMAND:
      if (Control::Impl* control = ControlOf(reinterpret_cast<HWND>(lParam)); control && control->onCommand) {
        control->onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        result = 0;
        return true;
      }
      return false;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (Control::Impl* control = ControlOf(item->hwndItem); control && control->onDraw) {
        control->onDraw(*item);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
      // Read-only edits keep the window colour; labels the face colour.
      if (Control::Impl* control = ControlOf(reinterpret_cast<HWND>(lParam)); control && control->windowBackground) {
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
