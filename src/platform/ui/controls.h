// The controls of a form, by kind. Each is a member of its form's class,
// constructed with its parent (the form or a container control) and its
// component name. Setting a property from code behaves like the operator
// doing it where the window system would say so: setting the text of an
// edit raises its OnChange. The Click/Select functions do what the
// operator's click does, including nothing on a disabled button; tests and
// batch runs drive forms through them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::ui {

class Form;

enum class Align { None, Top, Bottom, Left, Right, Client };

class Control {
 public:
  Control(Form& form, std::u16string_view name);
  Control(Control& parent, std::u16string_view name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::u16string& Name() const;
  Form& OwnerForm() const;
  Control* Parent() const;  // null when the form is the parent

  void SetBounds(int left, int top, int width, int height);
  void SetAlign(Align align);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // The control's state, one structure for every kind, and the peer that
  // shows it on the platform's screen (control_state.h).
  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// A container with an optional border.
class Panel : public Control {
 public:
  using Control::Control;
  void SetBorder(bool border);
};

class Label : public Control {
 public:
  using Control::Control;
  std::u16string Caption() const;
  void SetCaption(std::u16string_view caption);
  void SetBold(bool bold);
};

// A single-line edit with a button embedded at its right end.
class ButtonEdit : public Control {
 public:
  using Control::Control;
  std::u16string Text() const;
  void SetText(std::u16string_view text);  // raises OnChange
  void ClickButton();                      // raises OnButtonClick when enabled

  std::function<void()> OnChange;
  std::function<void()> OnButtonClick;
};

// A drop-down list the operator can only select from.
class ComboList : public Control {
 public:
  using Control::Control;
  void SetItems(std::vector<std::u16string> items);
  const std::vector<std::u16string>& Items() const;
  // -1 when nothing is selected; an index outside the items selects nothing.
  int ItemIndex() const;
  void SetItemIndex(int index);  // no event, as for a change from code
  void Select(int index);        // the operator's choice: raises OnChange

  std::function<void()> OnChange;
};

// Multi-line text. Lines are separated by CR LF; LineCount counts a final
// line only when it is not empty ("a\r\n" is one line, "" none).
class Memo : public Control {
 public:
  using Control::Control;
  std::u16string Text() const;
  void SetText(std::u16string_view text);
  int LineCount() const;
  // Scrolls by lines (positive: down); the first visible line stays within the text.
  void ScrollBy(int lines);
  int TopLine() const;
  void SetReadOnly(bool readOnly);
  void SetWordWrap(bool wordWrap);
  void SetScrollBars(bool horizontal, bool vertical);
};

// A column of two dialog buttons: OK (the form's default button) and
// Cancel. Neither closes the form by itself; their handlers decide.
class DialogButtons : public Control {
 public:
  DialogButtons(Form& form, std::u16string_view name);
  DialogButtons(Control& parent, std::u16string_view name);
  ~DialogButtons() override;

  void SetCaptions(std::u16string_view ok, std::u16string_view cancel);
  std::u16string OkCaption() const;
  std::u16string CancelCaption() const;
  bool OkEnabled() const;
  void SetOkEnabled(bool enabled);
  void FocusCancel();
  bool CancelFocused() const;
  void ClickOk();      // raises OnClickOk when OK is enabled
  void ClickCancel();  // raises OnClickCancel when enabled

  std::function<void()> OnClickOk;
  std::function<void()> OnClickCancel;
};

class Image : public Control {
 public:
  using Control::Control;
  // The picture, by the name of an image resource of the module.
  void SetPicture(std::u16string_view resourceName);
};

class StatusBar : public Control {
 public:
  using Control::Control;
};

// A text pane of a status bar; panes sit left to right in creation order,
// an Align::Client pane taking the remaining width.
class StatusPane : public Control {
 public:
  StatusPane(StatusBar& bar, std::u16string_view name);
  std::u16string Caption() const;
  void SetCaption(std::u16string_view caption);
  void SetFrame(bool frame);
};

// A progress pane showing a percentage (0 to 100) as a bar of segments.
// Headless: drawn on standard error when that is a terminal.
class ProgressPane : public Control {
 public:
  ProgressPane(StatusBar& bar, std::u16string_view name);
  int Percent() const;
  void SetPercent(int percent);  // clamped to 0..100
  void SetSegments(int segments);
};

}  // namespace quillet::ui
