// Controls: what each kind does, the same on every platform. A change
// from code goes into the control's state and then to its peer, which
// shows it; a getter answers from the screen where the operator can change
// the value there, and from the state otherwise.
#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/ui/application.h"
#include "platform/ui/control_state.h"
#include "platform/ui/form_state.h"
#include "platform/ui/peers.h"

namespace quillet::ui {
namespace {

std::unique_ptr<Control::Impl> NewImpl(Control& self, Form& form, Control* parent, std::u16string_view name) {
  auto impl = std::make_unique<Control::Impl>();
  impl->self = &self;
  impl->form = &form;
  impl->parent = parent;
  impl->name = name;
  impl->peer = NewControlPeer(*impl);
  form.impl().controls.push_back(&self);
  return impl;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

int CountLines(std::u16string_view text) {
  if (text.empty()) return 0;
  int breaks = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) ++breaks;
  }
  const bool endsWithBreak = text.back() == u'\n' || text.back() == u'\r';
  return endsWithBreak ? breaks : breaks + 1;
}

// The highest first visible line a memo's text allows.
int LastTopLine(std::u16string_view text) { return std::max(CountLines(text) - 1, 0); }

std::u16string ShownText(const Control::Impl& state) { return state.peer->ShownText().value_or(state.text); }

}  // namespace

// --- Control ---

Control::Control(Form& form, std::u16string_view name) : impl_(NewImpl(*this, form, nullptr, name)) {}

Control::Control(Control& parent, std::u16string_view name)
    : impl_(NewImpl(*this, parent.OwnerForm(), &parent, name)) {}

// The windows go while the control is still one of its form's.
Control::~Control() {
  impl_->peer.reset();
  std::vector<Control*>& controls = impl_->form->impl().controls;
  controls.erase(std::remove(controls.begin(), controls.end(), this), controls.end());
}

const std::u16string& Control::Name() const { return impl_->name; }

Form& Control::OwnerForm() const { return *impl_->form; }

Control* Control::Parent() const { return impl_->parent; }

void Control::SetBounds(int left, int top, int width, int height) {
  impl_->left = left;
  impl_->top = top;
  impl_->width = width;
  impl_->height = height;
  impl_->peer->Update(ControlChange::Bounds);
}

void Control::SetAlign(Align align) { impl_->align = align; }

bool Control::Enabled() const { return impl_->enabled; }

void Control::SetEnabled(bool enabled) {
  impl_->enabled = enabled;
  impl_->peer->Update(ControlChange::Enabled);
}

// --- Panel, Label, Image ---

void Panel::SetBorder(bool border) { impl().border = border; }

std::u16string Label::Caption() const { return ShownText(impl()); }

void Label::SetCaption(std::u16string_view caption) {
  impl().text = caption;
  impl().peer->Update(ControlChange::Text);
}

void Label::SetBold(bool bold) {
  impl().bold = bold;
  impl().peer->Update(ControlChange::Bold);
}

void Image::SetPicture(std::u16string_view resourceName) {
  impl().picture = resourceName;
  impl().peer->Update(ControlChange::Picture);
}

// --- ButtonEdit ---

std::u16string ButtonEdit::Text() const { return ShownText(impl()); }

void ButtonEdit::SetText(std::u16string_view text) {
  impl().text = text;
  impl().peer->Update(ControlChange::Text);
  DispatchEvent(OnChange);
}

void ButtonEdit::ClickButton() {
  if (Enabled()) DispatchEvent(OnButtonClick);
}

// --- ComboList ---

void ComboList::SetItems(std::vector<std::u16string> items) {
  impl().items = std::move(items);
  impl().itemIndex = -1;
  impl().peer->Update(ControlChange::Items);
}

const std::vector<std::u16string>& ComboList::Items() const { return impl().items; }

int ComboList::ItemIndex() const { return impl().peer->ShownItemIndex().value_or(impl().itemIndex); }

void ComboList::SetItemIndex(int index) {
  const bool inRange = index >= 0 && static_cast<std::size_t>(index) < impl().items.size();
  impl().itemIndex = inRange ? index : -1;
  impl().peer->Update(ControlChange::ItemIndex);
}

void ComboList::Select(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
  DispatchEvent(OnChange);
}

// --- Memo ---

std::u16string Memo::Text() const { return ShownText(impl()); }

// The peer learns how much of the shown text stays: a memo grows line by
// line during an import, and only the new part needs showing.
void Memo::SetText(std::u16string_view text) {
  Impl& state = impl();
  const std::u16string shown = Text();
  const std::size_t kept = StartsWith(text, shown) ? shown.size() : 0;
  state.text = text;
  state.topLine = std::min(state.topLine, LastTopLine(state.text));
  state.peer->UpdateMemoText(kept);
}

int Memo::LineCount() const { return CountLines(Text()); }

void Memo::ScrollBy(int lines) {
  impl().topLine = std::clamp(impl().topLine + lines, 0, LastTopLine(impl().text));
  impl().peer->ScrollMemo(lines);
}

int Memo::TopLine() const { return impl().peer->ShownTopLine().value_or(impl().topLine); }

void Memo::SetReadOnly(bool readOnly) {
  impl().readOnly = readOnly;
  impl().peer->Update(ControlChange::ReadOnly);
}

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
  impl().peer->Update(ControlChange::Captions);
}

std::u16string DialogButtons::OkCaption() const { return impl().text; }

std::u16string DialogButtons::CancelCaption() const { return impl().cancelText; }

bool DialogButtons::OkEnabled() const { return impl().okEnabled; }

void DialogButtons::SetOkEnabled(bool enabled) {
  impl().okEnabled = enabled;
  impl().peer->Update(ControlChange::Enabled);
}

void DialogButtons::FocusCancel() {
  impl().cancelFocused = true;
  impl().peer->Update(ControlChange::CancelFocus);
}

bool DialogButtons::CancelFocused() const {
  return impl().peer->ShownCancelFocus().value_or(impl().cancelFocused);
}

void DialogButtons::ClickOk() {
  if (Enabled() && OkEnabled()) DispatchEvent(OnClickOk);
}

void DialogButtons::ClickCancel() {
  if (Enabled()) DispatchEvent(OnClickCancel);
}

// --- Status bar panes ---

StatusPane::StatusPane(StatusBar& bar, std::u16string_view name) : Control(bar, name) {}

std::u16string StatusPane::Caption() const { return impl().text; }

void StatusPane::SetCaption(std::u16string_view caption) {
  impl().text = caption;
  impl().peer->Update(ControlChange::PaneText);
}

void StatusPane::SetFrame(bool frame) {
  impl().frame = frame;
  impl().peer->Update(ControlChange::PaneFrame);
}

ProgressPane::ProgressPane(StatusBar& bar, std::u16string_view name) : Control(bar, name) {}

int ProgressPane::Percent() const { return impl().percent; }

// Called once per record: nothing to do until the shown figure changes.
void ProgressPane::SetPercent(int percent) {
  const int clamped = std::clamp(percent, 0, 100);
  if (clamped == impl().percent) return;
  impl().percent = clamped;
  impl().peer->Update(ControlChange::Percent);
}

void ProgressPane::SetSegments(int segments) { impl().segments = std::max(segments, 1); }

}  // namespace quillet::ui
