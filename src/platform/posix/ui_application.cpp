// Module-wide services, headless: there is no screen, so the error box is
// standard error, the cursor a counter and the message pump empty.
#include "platform/ui/application.h"

#include <quillet/quit_request.h>

#include <cstdio>
#include <utility>

#include "runtime/text.h"

namespace quillet::ui {
namespace {

WindowHandle ownerWindow{};
int waitCursorDepth = 0;
ErrorBoxHook errorBoxHook;

}  // namespace

void SetOwnerWindow(WindowHandle owner) { ownerWindow = owner; }

WindowHandle OwnerWindow() { return ownerWindow; }

void ProcessMessages() {}

bool Terminated() { return QuilletQuitPosted() != 0; }

void BeginWaitCursor() { ++waitCursorDepth; }

void EndWaitCursor() {
  if (waitCursorDepth > 0) --waitCursorDepth;
}

int WaitCursorDepth() { return waitCursorDepth; }

void ShowErrorBox(std::u16string_view text) {
  if (errorBoxHook) {
    errorBoxHook(text);
    return;
  }
  const std::string line = Utf16ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook) { return std::exchange(errorBoxHook, std::move(hook)); }

void DestroyIcon(IconHandle) {}

}  // namespace quillet::ui
