// Forms: the top-level windows of the module.
//
// A form is a C++ object whose controls are members of the derived class,
// created with the form (or a control of it) as their parent. The window
// objects behind the form and its controls exist from HandleNeeded (called
// at the latest by ShowModal) until the form is destroyed; properties set
// before are kept and applied when the windows are created.
//
// Events are std::function handlers. The framework runs each through
// DispatchEvent (application.h), so an exception escaping a handler is
// shown in the error box and the form stays open. Exceptions from the show
// step (DoShow, OnShow) are not caught: they end ShowModal.
//
// Headless (posix) modal run, the batch operator: create the window, show
// it, activate it (OnActivate), press the default button (the OK button of
// the form's DialogButtons) if it is enabled, then close (OnClose) unless a
// handler has already set a modal result, and return the modal result.
#pragma once

#include <quillet/plugin_api.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quillet::ui {

// Modal results.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// Window style bits, as the window system numbers them.
inline constexpr std::uint32_t kStyleChild = 0x40000000;            // WS_CHILD
inline constexpr std::uint32_t kStylePopup = 0x80000000;            // WS_POPUP
inline constexpr std::uint32_t kStyleCaption = 0x00C00000;          // WS_CAPTION
inline constexpr std::uint32_t kStyleSysMenu = 0x00080000;          // WS_SYSMENU
inline constexpr std::uint32_t kStyleModalFrame = 0x00000080;       // DS_MODALFRAME
inline constexpr std::uint32_t kExStyleDlgModalFrame = 0x00000001;  // WS_EX_DLGMODALFRAME
inline constexpr std::uint32_t kExStyleAppWindow = 0x00040000;      // WS_EX_APPWINDOW

// What a form's window is created with. The framework places the window
// afterwards by the form's FormPosition.
struct WindowCreateParams {
  std::u16string caption;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  WindowHandle parent{};
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The two icons of a window; the value is WM_SETICON's wParam.
enum class IconKind : int { Small = 0, Large = 1 };

enum class FormBorder { Sizeable, Dialog };  // Dialog: fixed, no minimise or maximise
enum class FormPosition { Designed, OwnerCenter };

class DialogButtons;

class Form {
 public:
  Form();
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  std::u16string Caption() const;
  void SetCaption(std::u16string_view caption);
  void SetClientSize(int width, int height);
  void SetBorder(FormBorder border);
  void SetPosition(FormPosition position);
  void SetFont(std::u16string_view name, int points);

  // Creates the window (once) with the parameters CreateParams prepares.
  void HandleNeeded();
  bool HandleAllocated() const;
  WindowHandle Handle() const;  // null until the window exists

  // Runs the form modally; returns the modal result.
  virtual int ShowModal();
  int ModalResult() const;
  void SetModalResult(int result);
  // During a modal run: ends it with mrCancel once the running handler has
  // returned (OnClose runs then). Otherwise runs OnClose at once.
  void Close();
  // The form becomes the active window: raises OnActivate.
  void Activate();

  // Sets one of the window's icons (WM_SETICON); returns the icon the
  // window had before, which the caller then owns. The form never destroys
  // the icons it holds.
  IconHandle SetIcon(IconKind kind, IconHandle icon);
  IconHandle Icon(IconKind kind) const;

  std::function<void()> OnShow;
  std::function<void()> OnActivate;
  std::function<void()> OnClose;

  // The form's state and the peer that shows it on the platform's screen
  // (form_state.h).
  struct Impl;
  Impl& impl() const { return *impl_; }

 protected:
  // Fills the creation parameters: caption, style bits for the border,
  // the owner window (OwnerWindow()) as parent, the size from the client
  // size. Derived forms call this first, then adjust.
  virtual void CreateParams(WindowCreateParams& params);
  // The show step, each time the window is shown; raises OnShow.
  virtual void DoShow();

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillet::ui
