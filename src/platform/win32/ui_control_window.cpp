// A control's windows showing its state: each change from code goes to
// the windows once they exist, and what the operator can change there
// (typed text, the chosen item, the scroll position, the focus) is read
// back from them.
#include "platform/win32/ui_win32.h"

namespace quillet::ui::win32 {
namespace {

// A status pane is a part of its bar's window: the bar shows it.
void UpdateBar(const ControlState& pane) {
  if (Control* bar = pane.parent; bar != nullptr && WindowOf(*bar).hwnd != nullptr) UpdateStatusParts(*bar);
}

}  // namespace

ControlWindow::~ControlWindow() { DestroyControlWindows(*this); }

void ControlWindow::Update(ControlChange change) {
  switch (change) {
    case ControlChange::Bounds:
      // DialogButtons place their two windows themselves, when made.
      if (hwnd != nullptr && second == nullptr) {
        MoveWindow(hwnd, state.left, state.top, state.width, state.height, TRUE);
      }
      return;
    case ControlChange::Enabled:
      if (hwnd != nullptr) EnableWindow(hwnd, state.enabled && state.okEnabled);
      if (second != nullptr) EnableWindow(second, state.enabled);
      return;
    case ControlChange::Text:
      WriteTextFromCode(state.text);
      return;
    case ControlChange::Bold:
      if (hwnd != nullptr) {
        const FormWindow& form = WindowOf(*state.form);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(state.bold ? form.boldFont : form.font),
                     TRUE);
      }
      return;
    case ControlChange::Picture:
      if (hwnd != nullptr) InvalidateRect(hwnd, nullptr, TRUE);
      return;
    case ControlChange::Items:
      ShowItems();
      return;
    case ControlChange::ItemIndex:
      if (hwnd != nullptr) SendMessageW(hwnd, CB_SETCURSEL, state.itemIndex, 0);
      return;
    case ControlChange::ReadOnly:
      if (hwnd != nullptr) SendMessageW(hwnd, EM_SETREADONLY, state.readOnly, 0);
      return;
    case ControlChange::Captions:
      if (hwnd != nullptr) WriteWindowText(hwnd, state.text);
      if (second != nullptr) WriteWindowText(second, state.cancelText);
      return;
    case ControlChange::CancelFocus:
      if (second != nullptr) SetFocus(second);
      return;
    case ControlChange::PaneText:
    case ControlChange::PaneFrame:
    case ControlChange::Percent:
      UpdateBar(state);
      return;
  }
}

// Text that extends the old one is appended at the end, so the window
// keeps its place and does not redraw everything for each new line.
void ControlWindow::UpdateMemoText(std::size_t kept) {
  if (hwnd == nullptr) return;
  if (kept == 0) {
    WriteTextFromCode(state.text);
    return;
  }
  const std::u16string added = state.text.substr(kept);
  const auto end = static_cast<WPARAM>(kept);
  SendMessageW(hwnd, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageW(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WideText(added)));
}

void ControlWindow::ScrollMemo(int lines) {
  if (hwnd != nullptr) SendMessageW(hwnd, EM_LINESCROLL, 0, lines);
}

std::optional<std::u16string> ControlWindow::ShownText() const {
  if (hwnd == nullptr) return std::nullopt;
  return ReadWindowText(hwnd);
}

std::optional<int> ControlWindow::ShownItemIndex() const {
  if (hwnd == nullptr) return std::nullopt;
  return static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
}

std::optional<int> ControlWindow::ShownTopLine() const {
  if (hwnd == nullptr) return std::nullopt;
  return static_cast<int>(SendMessageW(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
}

// The focus is the window system's while one of its windows has it.
std::optional<bool> ControlWindow::ShownCancelFocus() const {
  const HWND focus = GetFocus();
  if (second == nullptr || focus == nullptr) return std::nullopt;
  return focus == second;
}

void ControlWindow::WriteTextFromCode(std::u16string_view text) {
  if (hwnd == nullptr) return;
  settingText = true;
  WriteWindowText(hwnd, text);
  settingText = false;
}

void ControlWindow::ShowItems() {
  if (hwnd == nullptr) return;
  SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& item : state.items) {
    SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item)));
  }
}

ControlWindow& WindowOf(const Control& control) { return static_cast<ControlWindow&>(*control.impl().peer); }

}  // namespace quillet::ui::win32

namespace quillet::ui {

std::unique_ptr<ControlPeer> NewControlPeer(ControlState& state) {
  return std::make_unique<win32::ControlWindow>(state);
}

}  // namespace quillet::ui
