// Module-wide services, headless: there is no screen, so the error box is
// standard error, the cursor nothing and the message pump empty.
#include "platform/ui/application.h"

#include <quillet/quit_request.h>

#include <cstdio>
#include <string>

#include "platform/ui/peers.h"
#include "runtime/text.h"

namespace quillet::ui {

void ProcessMessages() {}

// The host's SIGINT/SIGTERM handler posts the request in the shared
// stand-in library, as a WM_QUIT would be posted on Windows.
bool Terminated() { return QuilletQuitPosted() != 0; }

void ShowSystemCursor(bool) {}

// Flushed at once: the box must show before whatever the run prints next.
void ShowSystemErrorBox(std::u16string_view text) {
  const std::string line = Utf16ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void DestroyIcon(IconHandle) {}

}  // namespace quillet::ui
