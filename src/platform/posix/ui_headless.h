// The headless window framework's own objects: forms and controls keep
// their state here, and the console stands in for the screen.
#pragma once

#include <quillet/plugin_api.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control_state.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace quillet::ui {

struct Form::Impl {
  std::u16string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  FormBorder border = FormBorder::Sizeable;
  FormPosition position = FormPosition::Designed;
  std::u16string fontName;
  int fontPoints = 0;
  WindowHandle handle{};
  WindowCreateParams created;
  int modalResult = mrNone;
  bool modal = false;
  std::array<IconHandle, 2> icons{};
  DialogButtons* defaultButtons = nullptr;
};

struct Control::Impl : ControlState {};

namespace headless {

// Standard output as the memo's screen: UTF-8, line breaks as "\n".
void WriteConsoleText(std::u16string_view text);
// Ends an open console line, so what follows starts on its own line.
void FinishConsoleLine();
// Draws a progress bar on standard error when that is a terminal.
void DrawProgress(int percent, int segments);

}  // namespace headless
}  // namespace quillet::ui
