// The properties of a control, whatever stands behind it on the screen.
// The controls' behaviour reads and writes them on every platform; the
// control's peer shows them (peers.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/peers.h"

namespace quillet::ui {

struct ControlState {
  Control* self = nullptr;
  Form* form = nullptr;
  Control* parent = nullptr;
  std::u16string name;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  Align align = Align::None;
  bool enabled = true;
  bool bold = false;
  bool border = false;
  bool frame = true;  // status panes
  // Caption of labels and panes, text of edits and memos.
  std::u16string text;
  // ComboList.
  std::vector<std::u16string> items;
  int itemIndex = -1;
  // Memo.
  int topLine = 0;
  bool readOnly = false;
  bool wordWrap = true;
  bool horizontalScroll = false;
  bool verticalScroll = false;
  // DialogButtons.
  std::u16string cancelText;
  bool okEnabled = true;
  bool cancelFocused = false;
  // ProgressPane.
  int percent = 0;
  int segments = 20;
  // Image.
  std::u16string picture;
};

struct Control::Impl : ControlState {
  std::unique_ptr<ControlPeer> peer;  // made with the control
};

}  // namespace quillet::ui
