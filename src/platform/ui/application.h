// Module-wide services of the window framework: the owner of every window
// the module creates, the message pump, the wait cursor, the error box and
// the event dispatch that shows it.
//
// Two implementations share this interface: the Win32 one (real windows)
// and the posix headless one, in which a modal form runs as a batch
// operator (see form.h).
#pragma once

#include <quillet/plugin_api.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::ui {

// The window that owns every form of the module: the host's application
// window, set once the host is known. 0 (null) until then.
void SetOwnerWindow(WindowHandle owner);
WindowHandle OwnerWindow();

// Lets pending window messages through, so windows repaint and react
// during long work on the user-interface thread.
void ProcessMessages();
// Whether the application has been asked to quit: a WM_QUIT that the
// message pump met (it stays in the queue for the loop that owns it), or,
// headless, the quit request the host posted. Long work stops when it is.
bool Terminated();

// The wait cursor is shown while at least one WaitCursor lives (or
// BeginWaitCursor calls outnumber EndWaitCursor calls).
void BeginWaitCursor();
void EndWaitCursor();
int WaitCursorDepth();

class WaitCursor {
 public:
  WaitCursor() { BeginWaitCursor(); }
  ~WaitCursor() { EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// The text an error box shows for an error's message: the message with a
// full stop appended when its last character's code is above that of ".".
std::u16string ErrorBoxText(std::u16string_view message);

// Shows text, as given, in a modal error box over the active form
// (headless: one line on standard error).
void ShowErrorBox(std::u16string_view text);

// For batch runs and tests: when a hook is set, error boxes go to it
// instead of the screen. Returns the hook that was set before.
using ErrorBoxHook = std::function<void(std::u16string_view text)>;
ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook);

// Runs an event handler as the framework runs every handler of a window:
// any exception that escapes it ends the handler and is shown in the error
// box with ErrorBoxText of its message; the window stays as it is. An empty
// handler does nothing.
void DispatchEvent(const std::function<void()>& handler) noexcept;

// For batch runs and tests: a set answer makes every file-open dialog
// return at once, confirming path, or cancelling when path is nullopt.
// ClearFileOpenAnswer restores the interactive dialog (headless: every
// dialog is then cancelled).
void SetFileOpenAnswer(std::optional<std::u16string> path);
void ClearFileOpenAnswer();

// Frees an icon handle the module owns (no-op for a null handle).
void DestroyIcon(IconHandle icon);

}  // namespace quillet::ui
