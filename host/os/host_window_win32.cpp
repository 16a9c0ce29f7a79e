#include "host/os/host_window.h"

#include <windows.h>

namespace quillet::host {
namespace {

constexpr wchar_t kHostWindowClass[] = L"QuilletHostWindow";
constexpr wchar_t kHostWindowCaption[] = L"Quillet host";

void RegisterHostWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kHostWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered
}

}  // namespace

// A plain overlapped window, never shown: a real top-level owner.
HostWindow::HostWindow() {
  RegisterHostWindowClass();
  handle_ = CreateWindowExW(0, kHostWindowClass, kHostWindowCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
  if (handle_ != nullptr) DestroyWindow(handle_);
}

}  // namespace quillet::host
