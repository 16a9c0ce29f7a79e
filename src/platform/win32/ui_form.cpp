// Forms on Win32: a top-level window of the framework's own class, created
// from the form's parameters, with a modal loop that disables the owner.
#include "platform/ui/form.h"

#include <algorithm>

#include "platform/ui/application.h"
#include "platform/win32/ui_win32.h"

namespace quillet::ui {
namespace {

int IconSlot(IconKind kind) { return kind == IconKind::Large ? 1 : 0; }

Form* FormOf(HWND window) { return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

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
bool ActivationRaisesEvent(const Form::Impl& form, HWND previous) {
  if (!form.activated) return true;
  return previous != nullptr && GetWindowThreadProcessId(previous, nullptr) == GetCurrentThreadId() &&
         !OwnedBy(previous, form.handle);
}

HFONT MakeFont(std::u16string_view name, int points, int weight) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  const std::u16string face(name);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, win32::WideText(face));
}

// The window rectangle for a client area of the form's size.
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
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
  POINT at{over.left + (over.right - over.left - size.cx) / 2, over.top + (over.bottom - over.top - size.cy) / 2};
  at.x = std::max(monitor.rcWork.left, std::min(at.x, monitor.rcWork.right - size.cx));
  at.y = std::max(monitor.rcWork.top, std::min(at.y, monitor.rcWork.bottom - size.cy));
  return at;
}

// Disables the owner window for the modal run and enables it again, before
// the form is hidden, so that the owner becomes active once more.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(HWND owner) : owner_(owner != nullptr && IsWindowEnabled(owner) ? owner : nullptr) {
    if (owner_ != nullptr) EnableWindow(owner_, FALSE);
  }
  ~OwnerDisabled() { Restore(); }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;
  void Restore() {
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    owner_ = nullptr;
  }

 private:
  HWND owner_;
};

// Marks the form as running modally for the lifetime of the object.
class ModalScope {
 public:
  explicit ModalScope(Form::Impl& form) : form_(form) {
    form_.modal = true;
    form_.activated = false;
    win32::ModalWindows().push_back(form_.handle);
  }
  ~ModalScope() {
    form_.modal = false;
    std::vector<HWND>& modal = win32::ModalWindows();
    modal.erase(std::remove(modal.begin(), modal.end(), form_.handle), modal.end());
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  Form::Impl& form_;
};

// A result set from another thread's message (a test, an operating
// program) must wake the modal loop, which may be waiting in GetMessage.
void WakeModalLoop(const Form::Impl& form) {
  if (form.modal && form.handle != nullptr) PostMessageW(form.handle, WM_NULL, 0, 0);
}

void FocusFirstControl(HWND form) {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(form, focus)) return;
  if (HWND first = GetNextDlgTabItem(form, nullptr, FALSE); first != nullptr) SetFocus(first);
}

}  // namespace

Form::Impl::~Impl() {
  if (font != nullptr) DeleteObject(font);
  if (boldFont != nullptr) DeleteObject(boldFont);
}

namespace win32 {

LRESULT FormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Form* form = FormOf(window);
  if (form == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  Form::Impl& state = form->impl();
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
    case DM_GETDEFID:
      return state.defaultButtons != nullptr ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && state.modal) {
        const bool raise = ActivationRaisesEvent(state, reinterpret_cast<HWND>(lParam));
        state.activated = true;
        FocusFirstControl(window);
        if (raise) form->Activate();
        return 0;
      }
      break;
    case WM_CLOSE:
      form->Close();
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

}  // namespace win32

Form::Form() : impl_(std::make_unique<Impl>()) { impl_->self = this; }

Form::~Form() {
  if (impl_->handle != nullptr) {
    SetWindowLongPtrW(impl_->handle, GWLP_USERDATA, 0);
    DestroyWindow(impl_->handle);
  }
}

std::u16string Form::Caption() const {
  return impl_->handle != nullptr ? win32::ReadWindowText(impl_->handle) : impl_->caption;
}

void Form::SetCaption(std::u16string_view caption) {
  impl_->caption = caption;
  if (impl_->handle != nullptr) win32::WriteWindowText(impl_->handle, caption);
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
  impl_->created = params;
  const RECT rect = WindowRect(params);
  const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
  POINT at{params.x, params.y};
  if (impl_->position == FormPosition::OwnerCenter && (params.style & kStyleChild) == 0) {
    at = CentredOver(params.parent, size);
  }
  impl_->handle = CreateWindowExW(params.exStyle, win32::FormClassName(), win32::WideText(params.caption),
                                  params.style & ~WS_VISIBLE, at.x, at.y, size.cx, size.cy, params.parent,
                                  nullptr, win32::ModuleInstance(), this);
  if (impl_->handle == nullptr) return;
  impl_->font = MakeFont(impl_->fontName, impl_->fontPoints, FW_NORMAL);
  impl_->boldFont = MakeFont(impl_->fontName, impl_->fontPoints, FW_BOLD);
  for (int slot = 0; slot < 2; ++slot) {
    if (impl_->icons[slot] != nullptr) {
      SendMessageW(impl_->handle, WM_SETICON, slot, reinterpret_cast<LPARAM>(impl_->icons[slot]));
    }
  }
  win32::CreateControlWindows(*this);
}

bool Form::HandleAllocated() const { return impl_->handle != nullptr; }

WindowHandle Form::Handle() const { return impl_->handle; }

const WindowCreateParams& Form::CreatedParams() const { return impl_->created; }

int Form::ShowModal() {
  impl_->modalResult = mrNone;
  HandleNeeded();
  const HWND window = impl_->handle;
  OwnerDisabled owner(GetWindow(window, GW_OWNER));
  ModalScope modal(*impl_);
  DoShow();
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetActiveWindow(window);
  if (!impl_->activated) {
    // No activation message came (a desktop without a window manager).
    impl_->activated = true;
    FocusFirstControl(window);
    Activate();
  }
  while (impl_->modalResult == mrNone) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the application's own loop
      impl_->modalResult = mrCancel;
      break;
    }
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DispatchEvent(OnClose);
  owner.Restore();
  ShowWindow(window, SW_HIDE);
  return impl_->modalResult;
}

int Form::ModalResult() const { return impl_->modalResult; }

void Form::SetModalResult(int result) {
  impl_->modalResult = result;
  WakeModalLoop(*impl_);
}

void Form::Close() {
  if (impl_->modal) {
    SetModalResult(mrCancel);
    return;
  }
  DispatchEvent(OnClose);
  if (impl_->handle != nullptr) ShowWindow(impl_->handle, SW_HIDE);
}

void Form::Activate() { DispatchEvent(OnActivate); }

IconHandle Form::SetIcon(IconKind kind, IconHandle icon) {
  const int slot = IconSlot(kind);
  IconHandle previous = impl_->icons[slot];
  if (impl_->handle != nullptr) {
    previous = reinterpret_cast<HICON>(
        SendMessageW(impl_->handle, WM_SETICON, slot, reinterpret_cast<LPARAM>(icon)));
  }
  impl_->icons[slot] = icon;
  return previous;
}

IconHandle Form::Icon(IconKind kind) const {
  const int slot = IconSlot(kind);
  if (impl_->handle == nullptr) return impl_->icons[slot];
  return reinterpret_cast<HICON>(SendMessageW(impl_->handle, WM_GETICON, slot, 0));
}

// A fixed dialog border has neither a sizing frame nor minimise and
// maximise boxes; the width and height are those of the client area.
void Form::CreateParams(WindowCreateParams& params) {
  params.caption = impl_->caption;
  params.style = kStylePopup | kStyleCaption | kStyleSysMenu | WS_CLIPCHILDREN;
  if (impl_->border == FormBorder::Dialog) {
    params.style |= kStyleModalFrame;
    params.exStyle |= kExStyleDlgModalFrame;
  } else {
    params.style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  }
  params.exStyle |= WS_EX_CONTROLPARENT;
  params.parent = OwnerWindow();
  params.width = impl_->clientWidth;
  params.height = impl_->clientHeight;
}

void Form::DoShow() {
  if (OnShow) OnShow();
}

}  // namespace quillet::ui
