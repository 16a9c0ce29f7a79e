// The module-wide state of the window framework, the same on every
// platform: the owner window, the wait cursor's depth and the error box's
// hook. What the screen does with them is the platform's (peers.h).
#include "platform/ui/application.h"

#include <utility>

#include "platform/ui/peers.h"

namespace quillet::ui {
namespace {

WindowHandle ownerWindow{};
int waitCursorDepth = 0;
ErrorBoxHook errorBoxHook;

}  // namespace

void SetOwnerWindow(WindowHandle owner) { ownerWindow = owner; }

WindowHandle OwnerWindow() { return ownerWindow; }

// The cursor changes only when the depth leaves or returns to 0, so that
// nested waits (a run inside a handler that already waits) do not flicker.
void BeginWaitCursor() {
  if (++waitCursorDepth == 1) ShowSystemCursor(true);
}

// An unmatched end is ignored rather than driving the depth below 0, which
// would leave the next wait without its cursor.
void EndWaitCursor() {
  if (waitCursorDepth == 0) return;
  if (--waitCursorDepth == 0) ShowSystemCursor(false);
}

int WaitCursorDepth() { return waitCursorDepth; }

void ShowErrorBox(std::u16string_view text) {
  if (errorBoxHook) {
    errorBoxHook(text);
    return;
  }
  ShowSystemErrorBox(text);
}

ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook) { return std::exchange(errorBoxHook, std::move(hook)); }

}  // namespace quillet::ui
