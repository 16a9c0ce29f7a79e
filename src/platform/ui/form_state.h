// The properties of a form, whatever stands behind it on the screen. The
// form's behaviour reads and writes them on every platform; the form's
// peer shows them (peers.h).
#pragma once

#include <quillet/plugin_api.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "platform/ui/peers.h"

namespace quillet::ui {

class Control;

struct FormState {
  Form* self = nullptr;
  std::u16string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  FormBorder border = FormBorder::Sizeable;
  FormPosition position = FormPosition::Designed;
  std::u16string fontName = u"Tahoma";
  int fontPoints = 8;
  WindowHandle handle{};
  int modalResult = mrNone;
  bool modal = false;
  std::array<IconHandle, 2> icons{};  // by IconKind
  DialogButtons* defaultButtons = nullptr;
  std::vector<Control*> controls;  // in creation order, parents first
};

// The peer comes last, so that it goes first: the window before the state
// it shows.
struct Form::Impl : FormState {
  std::unique_ptr<FormPeer> peer;  // made with the form
};

}  // namespace quillet::ui
