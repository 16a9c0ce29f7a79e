// Module-wide services on Win32: the message pump, the system cursor, the
// system error box and the classes of the framework's windows.
#include "platform/ui/application.h"

#include "platform/ui/peers.h"
#include "platform/win32/ui_win32.h"
// (after <windows.h>, which the common controls need first)
#include <commctrl.h>

namespace quillet::ui {
namespace {

bool terminated = false;  // a WM_QUIT was met

LRESULT CALLBACK PanelProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (win32::RouteChildMessage(msg, wParam, lParam, result)) return result;
  if (msg == WM_SETCURSOR && win32::HandleWaitCursor()) return TRUE;
  return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK FormProcEntry(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers the framework's window classes for the module's lifetime;
// a DLL's classes must go when it is unloaded, or a reload fails.
class WindowClasses {
 public:
  WindowClasses() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Register(kFormClass, FormProcEntry);
    Register(kPanelClass, PanelProc);
  }
  ~WindowClasses() {
    UnregisterClassW(kFormClass, win32::ModuleInstance());
    UnregisterClassW(kPanelClass, win32::ModuleInstance());
  }
  WindowClasses(const WindowClasses&) = delete;
  WindowClasses& operator=(const WindowClasses&) = delete;

  static constexpr wchar_t kFormClass[] = L"QuilletForm";
  static constexpr wchar_t kPanelClass[] = L"QuilletPanel";

 private:
  static void Register(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = win32::ModuleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
  }
};

const WindowClasses& Classes() {
  static const WindowClasses classes;
  return classes;
}

HCURSOR SystemCursor(LPCWSTR name) { return LoadCursorW(nullptr, name); }

// The window an error box belongs to: the innermost modal form, else the owner.
HWND ErrorBoxOwner() {
  const std::vector<HWND>& modal = win32::ModalWindows();
  return modal.empty() ? OwnerWindow() : modal.back();
}

}  // namespace

namespace win32 {

LRESULT FormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleInstance), &module);
  return module;
}

const wchar_t* FormClassName() { return Classes().kFormClass; }

const wchar_t* PanelClassName() { return Classes().kPanelClass; }

std::u16string ReadWindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int got = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

void WriteWindowText(HWND window, std::u16string_view text) {
  const std::u16string copy(text);
  SetWindowTextW(window, WideText(copy));
}

std::vector<HWND>& ModalWindows() {
  static std::vector<HWND> windows;
  return windows;
}

bool HandleWaitCursor() {
  if (WaitCursorDepth() == 0) return false;
  SetCursor(SystemCursor(reinterpret_cast<LPCWSTR>(IDC_WAIT)));
  return true;
}

}  // namespace win32

namespace {

LRESULT CALLBACK FormProcEntry(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return win32::FormProc(window, msg, wParam, lParam);
}

}  // namespace

void ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated = true;
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the quit
      return;
    }
    const std::vector<HWND>& modal = win32::ModalWindows();
    if (!modal.empty() && IsDialogMessageW(modal.back(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool Terminated() { return terminated; }

void ShowSystemCursor(bool wait) {
  SetCursor(SystemCursor(reinterpret_cast<LPCWSTR>(wait ? IDC_WAIT : IDC_ARROW)));
}

void ShowSystemErrorBox(std::u16string_view text) {
  const std::u16string message(text);
  MessageBoxW(ErrorBoxOwner(), win32::WideText(message), L"Error", MB_OK | MB_ICONERROR);
}

void DestroyIcon(IconHandle icon) {
  if (icon != nullptr) ::DestroyIcon(icon);
}

}  // namespace quillet::ui
