// Controls, headless: their state lives in Control::Impl; the memo's new
// text goes to standard output and the progress pane to standard error.
#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/posix/ui_headless.h"
#include "platform/ui/application.h"

namespace quillet::ui {
namespace {

std::unique_ptr<Control::Impl> NewImpl(Form& form, Control* parent, std::u16string_view name) {
  auto impl = std::make_unique<Control::Impl>();
  impl->form = &form;
  impl->parent = parent;
  impl->name = name;
  return impl;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

// --- Control ---

Control::Control(Form& form, std::u16string_view name) : impl_(NewImpl(form, nullptr, name)) {}

Control::Control(Control& parent, std::u16string_view name)
    : impl_(NewImpl(parent.OwnerForm(), &parent, name)) {}

Control::~Control() = default;

const std::u16string& Control::Name() const { return impl_->name; }

Form& Control::OwnerForm() const { return *impl_->form; }

Control* Control::Parent() const { return impl_->parent; }

void Control::SetBounds(int left, int top, int width, int height) {
  impl_->left = left;
  impl_->top = top;
  impl_->width = width;
  impl_->height = height;
}

void Control::SetAlign(Align align) { impl_->align = align; }

bool Control::Enabled() const { return impl_->enabled; }

void Control::SetEnabled(bool enabled) { impl_->enabled = enabled; }

bool Control::Visible() const { return impl_->visible; }

void Control::SetVisible(bool visible) { impl_->visible = visible; }

// --- Panel, Label, Image ---

void Panel::SetBorder(bool border) { impl().border = border; }

std::u16string Label::Caption() const { return impl().text; }

void Label::SetCaption(std::u16string_view caption) { impl().text = caption; }

void Label::SetBold(bool bold) { impl().bold = bold; }

void Image::SetPicture(std::u16string_view resourceName) { impl().picture = resourceName; }

// --- ButtonEdit ---

std::u16string ButtonEdit::Text() const { return impl().text; }

void ButtonEdit::SetText(std::u16string_view text) {
  impl().text = text;
  DispatchEvent(OnChange);
}

void ButtonEdit::ClickButton() {
  if (Enabled()) DispatchEvent(OnButtonClick);
}

// --- ComboList ---

void ComboList::SetItems(std::vector<std::u16string> items) {
  impl().items = std::move(items);
  impl().itemIndex = -1;
}

const std::vector<std::u16string>& ComboList::Items() const { return impl().items; }

int ComboList::ItemIndex() const { return impl().itemIndex; }

void ComboList::SetItemIndex(int index) {
  const bool inRange = index >= 0 && static_cast<std::size_t>(index) < impl().items.size();
  impl().itemIndex = inRange ? index : -1;
}

void ComboList::Select(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
  DispatchEvent(OnChange);
}

// --- Memo ---

std::u16string Memo::Text() const { return impl().text; }

// Only the part that extends the old text reaches the console; a text that
// replaces the old one is written whole.
void Memo::SetText(std::u16string_view text) {
  Impl& state = impl();
  const bool extends = StartsWith(text, state.text);
  headless::WriteConsoleText(extends ? text.substr(state.text.size()) : text);
  state.text = text;
  state.topLine = std::min(state.topLine, std::max(LineCount() - 1, 0));
}

int Memo::LineCount() const {
  const std::u16string& text = impl().text;
  if (text.empty()) return 0;
  int breaks = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) ++breaks;
  }
  const bool endsWithBreak = text.back() == u'\n' || text.back() == u'\r';
  return endsWithBreak ? breaks : breaks + 1;
}

void Memo::ScrollBy(int lines) {
  const int last = std::max(LineCount() - 1, 0);
  impl().topLine = std::clamp(impl().topLine + lines, 0, last);
}

int Memo::TopLine() const { return impl().topLine; }

void Memo::SetReadOnly(bool readOnly) { impl().readOnly = readOnly; }

void Memo::SetWordWrap(bool wordWrap) { impl().wordWrap = wordWrap; }

void Memo::SetScrollBars(bool horizontal, bool vertical) {
  impl().horizontalScroll = horizontal;
  impl().verticalScroll = vertical;
}

// --- DialogButtons ---

DialogButtons::DialogButtons(Form& form, std::u16string_view name) : Control(form, name) {
  form.impl().defaultButtons = this;
}

DialogButtons::DialogButtons(Control& parent, std::u16string_view name) : Control(parent, name) {
  OwnerForm().impl().defaultButtons = this;
}

DialogButtons::~DialogButtons() {
  Form::Impl& form = OwnerForm().impl();
  if (form.defaultButtons == this) form.defaultButtons = nullptr;
}

void DialogButtons::SetCaptions(std::u16string_view ok, std::u16string_view cancel) {
  impl().text = ok;
  impl().cancelText = cancel;
}

std::u16string DialogButtons::OkCaption() const { return impl().text; }

std::u16string DialogButtons::CancelCaption() const { return impl().cancelText; }

bool DialogButtons::OkEnabled() const { return impl().okEnabled; }

void DialogButtons::SetOkEnabled(bool enabled) { impl().okEnabled = enabled; }

bool DialogButtons::CancelEnabled() const { return impl().cancelEnabled; }

void DialogButtons::SetCancelEnabled(bool enabled) { impl().cancelEnabled = enabled; }

void DialogButtons::FocusCancel() { impl().cancelFocused = true; }

bool DialogButtons::CancelFocused() const { return impl().cancelFocused; }

void DialogButtons::ClickOk() {
  if (Enabled() && OkEnabled()) DispatchEvent(OnClickOk);
}

void DialogButtons::ClickCancel() {
  if (Enabled() && CancelEnabled()) DispatchEvent(OnClickCancel);
}

// --- Status bar panes ---

StatusPane::StatusPane(StatusBar& bar, std::u16string_view name) : Control(bar, name) {}

std::u16string StatusPane::Caption() const { return impl().text; }

void StatusPane::SetCaption(std::u16string_view caption) { impl().text = caption; }

void StatusPane::SetFrame(bool frame) { impl().border = frame; }

ProgressPane::ProgressPane(StatusBar& bar, std::u16string_view name) : Control(bar, name) {}

int ProgressPane::Percent() const { return impl().percent; }

// Called once per record: nothing to do until the shown figure changes.
void ProgressPane::SetPercent(int percent) {
  const int clamped = std::clamp(percent, 0, 100);
  if (clamped == impl().percent) return;
  impl().percent = clamped;
  headless::DrawProgress(impl().percent, impl().segments);
}

void ProgressPane::SetSegments(int segments) { impl().segments = std::max(segments, 1); }

}  // namespace quillet::ui
