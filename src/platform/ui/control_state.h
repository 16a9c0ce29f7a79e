// The properties every implementation of the window framework keeps for a
// control, whatever stands behind it on the screen. Each implementation's
// Control::Impl derives from it and adds its own (window handles, ...).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/controls.h"

namespace quillet::ui {

struct ControlState {
  Form* form = nullptr;
  Control* parent = nullptr;
  std::u16string name;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  Align align = Align::None;
  bool enabled = true;
  bool visible = true;
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
  bool cancelEnabled = true;
  bool cancelFocused = false;
  // ProgressPane.
  int percent = 0;
  int segments = 20;
  // Image.
  std::u16string picture;
};

}  // namespace quillet::ui
