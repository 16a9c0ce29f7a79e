// A form's window on Win32: a top-level window of the framework's own
// class, created from the form's parameters, with a modal loop that
// disables the owner.
#include <algorithm>

#include "platform/ui/application.h"
#include "platform/win32/ui_win32.h"

namespace quillet::ui::win32 {
namespace {

// The form's peer rides in the window's user data, set from the creation
// parameters at WM_NCCREATE, the first message a window receives.
FormWindow* FormWindowOf(HWND window) {
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// True when window is form or one of the windows it owns (its file
// dialog, its message boxes).
bool OwnedBy(HWND window, HWND form) {
  for (HWND w = window; w != nullptr; w = GetWindow(w, GW_OWNER)) {
    if (w == form) return true;
  }
  return false;
}

// Activation from another window of this thread that the form does not own
// (not from its own file dialog or message box) raises OnActivate again.
bool ActivationRaisesEvent(const FormWindow& form, HWND previous) {
  if (!form.activated) return true;
  return previous != nullptr && GetWindowThreadProcessId(previous, nullptr) == GetCurrentThreadId() &&
         !OwnedBy(previous, form.state.handle);
}

// Points to pixels at the screen's vertical resolution; a negative height
// asks for the character height, not the cell height, as point sizes mean.
HFONT MakeFont(std::u16string_view name, int points, int weight) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  const std::u16string face(name);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, WideText(face));
}

// The window rectangle for a client area of the form's size.
// The form's size is that of its client area (the layout is designed in
// it), so the frame and caption are added around it.
RECT WindowRect(const WindowCreateParams& params) {
  RECT rect{0, 0, params.width, params.height};
  AdjustWindowRectEx(&rect, params.style, FALSE, params.exStyle);
  return rect;
}

// Centres size over the owner window (the screen's work area without
// one), kept inside the work area of the owner's monitor.
POINT CentredOver(HWND owner, SIZE size) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT over = monitor.rcWork;
  // A hidden or minimised owner has no place on the screen to centre over.
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
  POINT at{over.left + (over.right - over.left - size.cx) / 2,
           over.top + (over.bottom - over.top - size.cy) / 2};
  at.x = std::max(monitor.rcWork.left, std::min(at.x, monitor.rcWork.right - size.cx));
  at.y = std::max(monitor.rcWork.top, std::min(at.y, monitor.rcWork.bottom - size.cy));
  return at;
}

// The focus stays where the operator put it, when it is inside the form.
void FocusFirstControl(HWND form) {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(form, focus)) return;
  if (HWND first = GetNextDlgTabItem(form, nullptr, FALSE); first != nullptr) SetFocus(first);
}

}  // namespace

LRESULT FormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  FormWindow* form = FormWindowOf(window);
  if (form == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  FormState& state = form->state;
  LRESULT result = 0;
  switch (msg) {
    case WM_COMMAND:
      if (lParam == 0 && state.defaultButtons != nullptr) {
        // Enter and Escape, as IsDialogMessage reports them.
        if (LOWORD(wParam) == IDOK) state.defaultButtons->ClickOk();
        if (LOWORD(wParam) == IDCANCEL) state.defaultButtons->ClickCancel();
        return 0;
      }
      break;
    // IsDialogMessage asks for the default button to handle Enter.
    case DM_GETDEFID:
      return state.defaultButtons != nullptr ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
    // Only for a modal run: a form shown otherwise is not the module's current
    // dialog and raises no OnActivate.
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && state.modal) {
        const bool raise = ActivationRaisesEvent(*form, reinterpret_cast<HWND>(lParam));
        form->activated = true;
        FocusFirstControl(window);
        if (raise) state.self->Activate();
        return 0;
      }
      break;
    case WM_CLOSE:
      state.self->Close();
      return 0;
    case WM_SETCURSOR:
      if (HandleWaitCursor()) return TRUE;
      break;
    default:
      break;
  }
  if (RouteChildMessage(msg, wParam, lParam, result)) return result;
  return DefWindowProcW(window, msg, wParam, lParam);
}

OwnerDisabled::OwnerDisabled(HWND owner)
    : owner_(owner != nullptr && IsWindowEnabled(owner) ? owner : nullptr) {
  if (owner_ != nullptr) EnableWindow(owner_, FALSE);
}

OwnerDisabled::~OwnerDisabled() {
  if (owner_ != nullptr) EnableWindow(owner_, TRUE);
}

FormWindow::~FormWindow() {
  if (state.handle != nullptr) {
    // Unhooked first: messages sent while the window is destroyed must not
    // reach a peer that is being destroyed.
    SetWindowLongPtrW(state.handle, GWLP_USERDATA, 0);
    DestroyWindow(state.handle);
  }
  if (font != nullptr) DeleteObject(font);
  if (boldFont != nullptr) DeleteObject(boldFont);
}

// A sizeable border has a sizing frame and minimise and maximise boxes.
void FormWindow::AddPlatformStyles(WindowCreateParams& params) const {
  // Children clip the form's painting, and the form is a control parent, so
  // that Tab moves through the controls inside its panels too.
  params.style |= WS_CLIPCHILDREN;
  if (state.border == FormBorder::Sizeable) params.style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

WindowHandle FormWindow::MakeWindow(const WindowCreateParams& params) {
  const RECT rect = WindowRect(params);
  const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
  POINT at{params.x, params.y};
  if (state.position == FormPosition::OwnerCenter && (params.style & kStyleChild) == 0) {
    at = CentredOver(params.parent, size);
  }
  const HWND window =
      // Created hidden: the modal run shows it once the controls are made.
      CreateWindowExW(params.exStyle, FormClassName(), WideText(params.caption), params.style & ~WS_VISIBLE,
                      at.x, at.y, size.cx, size.cy, params.parent, nullptr, ModuleInstance(), this);
  if (window == nullptr) return nullptr;
  font = MakeFont(state.fontName, state.fontPoints, FW_NORMAL);
  boldFont = MakeFont(state.fontName, state.fontPoints, FW_BOLD);
  for (int slot = 0; slot < 2; ++slot) {
    if (state.icons[slot] != nullptr)
      SendMessageW(window, WM_SETICON, slot, reinterpret_cast<LPARAM>(state.icons[slot]));
  }
  return window;
}

void FormWindow::MakeControlWindows() { CreateControlWindows(*state.self); }

void FormWindow::Update(FormChange change) {
  if (state.handle == nullptr) return;
  switch (change) {
    case FormChange::Caption:
      WriteWindowText(state.handle, state.caption);
      return;
    case FormChange::ModalResult:
      // A result set from another thread's message (a test, an operating
      // program) must wake the modal loop, which may be waiting in GetMessage.
      if (state.modal) PostMessageW(state.handle, WM_NULL, 0, 0);
      return;
  }
}

void FormWindow::Hide() {
  if (state.handle != nullptr) ShowWindow(state.handle, SW_HIDE);
}

std::optional<std::u16string> FormWindow::ShownCaption() const {
  if (state.handle == nullptr) return std::nullopt;
  return ReadWindowText(state.handle);
}

std::optional<IconHandle> FormWindow::SwapIcon(int slot, IconHandle icon) {
  if (state.handle == nullptr) return std::nullopt;
  return reinterpret_cast<HICON>(
      SendMessageW(state.handle, WM_SETICON, slot, reinterpret_cast<LPARAM>(icon)));
}

std::optional<IconHandle> FormWindow::ShownIcon(int slot) const {
  if (state.handle == nullptr) return std::nullopt;
  return reinterpret_cast<HICON>(SendMessageW(state.handle, WM_GETICON, slot, 0));
}

// The owner is disabled for the run, as a modal dialog's is; the form
// goes on the stack of modal windows so that the message pump and error
// boxes find the innermost one.
void FormWindow::BeginModal() {
  ownerDisabled.emplace(GetWindow(state.handle, GW_OWNER));
  activated = false;
  ModalWindows().push_back(state.handle);
}

void FormWindow::RunModal() {
  const HWND window = state.handle;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetActiveWindow(window);
  if (!activated) {
    // No activation message came (a desktop without a window manager).
    activated = true;
    FocusFirstControl(window);
    state.self->Activate();
  }
  while (state.modalResult == mrNone) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the application's own loop
      state.modalResult = mrCancel;
      break;
    }
    // The dialog keys (Tab, Enter, Escape) of the form are handled before
    // anything else sees the message.
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The owner is enabled again before the form is hidden, so that it
// becomes the active window once more.
void FormWindow::EndModal() {
  ownerDisabled.reset();
  ShowWindow(state.handle, SW_HIDE);
  std::vector<HWND>& modal = ModalWindows();
  modal.erase(std::remove(modal.begin(), modal.end(), state.handle), modal.end());
}

FormWindow& WindowOf(const Form& form) { return static_cast<FormWindow&>(*form.impl().peer); }

}  // namespace quillet::ui::win32

namespace quillet::ui {

std::unique_ptr<FormPeer> NewFormPeer(FormState& state) { return std::make_unique<win32::FormWindow>(state); }

}  // namespace quillet::ui
