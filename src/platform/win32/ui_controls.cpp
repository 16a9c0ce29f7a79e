// Controls on Win32: each keeps its properties in Control::Impl until its
// windows exist and then reads and writes them through the windows.
#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/ui/application.h"
#include "platform/win32/ui_win32.h"

namespace quillet::ui {
namespace {

std::unique_ptr<Control::Impl> NewImpl(Control& self, Form& form, Control* parent, std::u16string_view name) {
  auto impl = std::make_unique<Control::Impl>();
  impl->self = &self;
  impl->form = &form;
  impl->parent = parent;
  impl->name = name;
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

// Sets a window's text from code without raising the control's OnChange
// through EN_CHANGE; the caller raises it once itself.
void SetTextFromCode(Control::Impl& state, std::u16string_view text) {
  state.text = text;
  if (state.hwnd == nullptr) return;
  state.settingText = true;
  win32::WriteWindowText(state.hwnd, text);
  state.settingText = false;
}

std::u16string CurrentText(const Control::Impl& state) {
  return state.hwnd != nullptr ? win32::ReadWindowText(state.hwnd) : state.text;
}

void UpdatePane(Control& pane) {
  if (Control* bar = pane.Parent(); bar != nullptr && bar->impl().hwnd != nullptr) win32::UpdateStatusParts(*bar);
}

}  // namespace

// --- Control ---

Control::Control(Form& form, std::u16string_view name) : impl_(NewImpl(*this, form, nullptr, name)) {}

Control::Control(Control& parent, std::u16string_view name)
    : impl_(NewImpl(*this, parent.OwnerForm(), &parent, name)) {}

Control::~Control() {
  win32::DestroyControlWindows(*impl_);
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
  if (impl_->hwnd != nullptr && impl_->second == nullptr) MoveWindow(impl_->hwnd, left, top, width, height, TRUE);
}

void Control::SetAlign(Align align) { impl_->align = align; }

bool Control::Enabled() const { return impl_->enabled; }

void Control::SetEnabled(bool enabled) {
  impl_->enabled = enabled;
  if (impl_->hwnd != nullptr) EnableWindow(impl_->hwnd, enabled && impl_->okEnabled);
  if (impl_->second != nullptr) EnableWindow(impl_->second, enabled && impl_->cancelEnabled);
}

bool Control::Visible() const { return impl_->visible; }

void Control::SetVisible(bool visible) {
  impl_->visible = visible;
  for (HWND window : {impl_->hwnd, impl_->second}) {
    if (window != nullptr) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
  }
}

// --- Panel, Label, Image ---

void Panel::SetBorder(bool border) { impl().border = border; }

std::u16string Label::Caption() const { return CurrentText(impl()); }

void Label::SetCaption(std::u16string_view caption) { SetTextFromCode(impl(), caption); }

void Label::SetBold(bool bold) {
  impl().bold = bold;
  const Form::Impl& form = OwnerForm().impl();
  if (impl().hwnd != nullptr) {
    SendMessageW(impl().hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(bold ? form.boldFont : form.font), TRUE);
  }
}

void Image::SetPicture(std::u16string_view resourceName) {
  impl().picture = resourceName;
  if (impl().hwnd != nullptr) InvalidateRect(impl().hwnd, nullptr, TRUE);
}

// --- ButtonEdit ---

std::u16string ButtonEdit::Text() const { return CurrentText(impl()); }

void ButtonEdit::SetText(std::u16string_view text) {
  SetTextFromCode(impl(), text);
  DispatchEvent(OnChange);
}

void ButtonEdit::ClickButton() {
  if (Enabled()) DispatchEvent(OnButtonClick);
}

// --- ComboList ---

void ComboList::SetItems(std::vector<std::u16string> items) {
  impl().items = std::move(items);
  impl().itemIndex = -1;
  if (impl().hwnd == nullptr) return;
  SendMessageW(impl().hwnd, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& item : impl().items) {
    SendMessageW(impl().hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::WideText(item)));
  }
}

const std::vector<std::u16string>& ComboList::Items() const { return impl().items; }

int ComboList::ItemIndex() const {
  if (impl().hwnd == nullptr) return impl().itemIndex;
  return static_cast<int>(SendMessageW(impl().hwnd, CB_GETCURSEL, 0, 0));
}

void ComboList::SetItemIndex(int index) {
  const bool inRange = index >= 0 && static_cast<std::size_t>(index) < impl().items.size();
  impl().itemIndex = inRange ? index : -1;
  if (impl().hwnd != nullptr) SendMessageW(impl().hwnd, CB_SETCURSEL, impl().itemIndex, 0);
}

void ComboList::Select(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
  DispatchEvent(OnChange);
}

// --- Memo ---

std::u16string Memo::Text() const { return CurrentText(impl()); }

// Text that extends the old one is appended at the end, so the window
// keeps its place and does not redraw everything for each new line.
void Memo::SetText(std::u16string_view text) {
  Impl& state = impl();
  if (state.hwnd == nullptr) {
    state.text = text;
    state.topLine = std::min(state.topLine, std::max(LineCount() - 1, 0));
    return;
  }
  const std::u16string old = win32::ReadWindowText(state.hwnd);
  if (!old.empty() && StartsWith(text, old)) {
    const std::u16string added(text.substr(old.size()));
    const auto end = static_cast<WPARAM>(old.size());
    SendMessageW(state.hwnd, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(state.hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(win32::WideText(added)));
  } else {
    SetTextFromCode(state, text);
  }
  state.text.clear();  // the window holds it now
}

int Memo::LineCount() const { return CountLines(Text()); }

void Memo::ScrollBy(int lines) {
  if (impl().hwnd != nullptr) {
    SendMessageW(impl().hwnd, EM_LINESCROLL, 0, lines);
    return;
  }
  const int last = std::max(LineCount() - 1, 0);
  impl().topLine = std::clamp(impl().topLine + lines, 0, last);
}

int Memo::TopLine() const {
  if (impl().hwnd != nullptr) return static_cast<int>(SendMessageW(impl().hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
  return impl().topLine;
}

void Memo::SetReadOnly(bool readOnly) {
  impl().readOnly = readOnly;
  if (impl().hwnd != nullptr) SendMessageW(impl().hwnd, EM_SETREADONLY, readOnly, 0);
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
  if (impl().hwnd != nullptr) win32::WriteWindowText(impl().hwnd, ok);
  if (impl().second != nullptr) win32::WriteWindowText(impl().second, cancel);
}

std::u16string DialogButtons::OkCaption() const { return impl().text; }

std::u16string DialogButtons::CancelCaption() const { return impl().cancelText; }

bool DialogButtons::OkEnabled() const { return impl().okEnabled; }

void DialogButtons::SetOkEnabled(bool enabled) {
  impl().okEnabled = enabled;
  if (impl().hwnd != nullptr) EnableWindow(impl().hwnd, enabled && Enabled());
}

bool DialogButtons::CancelEnabled() const { return impl().cancelEnabled; }

void DialogButtons::SetCancelEnabled(bool enabled) {
  impl().cancelEnabled = enabled;
  if (impl().second != nullptr) EnableWindow(impl().second, enabled && Enabled());
}

void DialogButtons::FocusCancel() {
  impl().cancelFocused = true;
  if (impl().second != nullptr) SetFocus(impl().second);
}

bool DialogButtons::CancelFocused() const {
  if (impl().second == nullptr || GetFocus() == nullptr) return impl().cancelFocused;
  return GetFocus() == impl().second;
}

void DialogButtons::ClickOk() {
  if (Enabled() && OkEnabled()) DispatchEvent(OnClickOk);
}

void DialogButtons::ClickCancel() {
  if (Enabled() && CancelEnabled()) DispatchEvent(OnClickCancel);
}

// --- Status bar panes ---

StatusPane::StatusPane(StatusBar& bar, std::u16string_view name) : Control(bar, name) {}

std::u16string StatusPane::Caption() const { return impl().text; }

void StatusPane::SetCaption(std::u16string_view caption) {
  impl().text = caption;
  UpdatePane(*this);
}

void StatusPane::SetFrame(bool frame) {
  impl().frame = frame;
  UpdatePane(*this);
}

ProgressPane::ProgressPane(StatusBar& bar, std::u16string_view name) : Control(bar, name) {}

int ProgressPane::Percent() const { return impl().percent; }

void ProgressPane::SetPercent(int percent) {
  const int clamped = std::clamp(percent, 0, 100);
  if (clamped == impl().percent) return;
  impl().percent = clamped;
  UpdatePane(*this);
}

void ProgressPane::SetSegments(int segments) { impl().segments = std::max(segments, 1); }

}  // namespace quillet::ui
