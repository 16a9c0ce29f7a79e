// The console as the headless window framework's screen: the memo's text
// goes to standard output as it grows, the progress pane to standard error.
#pragma once

#include <string_view>

namespace quillet::ui::headless {

// Standard output as the memo's screen: UTF-8, line breaks as "\n".
void WriteConsoleText(std::u16string_view text);
// Ends an open console line, so what follows starts on its own line.
void FinishConsoleLine();
// Draws a progress bar on standard error when that is a terminal.
void DrawProgress(int percent, int segments);

}  // namespace quillet::ui::headless
