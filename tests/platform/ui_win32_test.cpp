// The Win32 window framework over real windows: a form with every kind of
// control, texts and states read back through the windows, and a modal run
// ended by a posted message, as another program would end it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/win32/ui_win32.h"
// (after <windows.h>)
#include <commctrl.h>

namespace quillet::ui {
namespace {

class ProbeForm : public Form {
 public:
  ProbeForm()
      : panel(*this, u"panel"),
        label(panel, u"label"),
        source(panel, u"source"),
        modes(panel, u"modes"),
        memo(panel, u"memo"),
        buttons(*this, u"buttons"),
        picture(*this, u"picture"),
        bar(*this, u"bar"),
        errors(bar, u"errors"),
        progress(bar, u"progress"),
        spare(bar, u"spare") {
    SetCaption(u"Quillet window test");
    SetClientSize(394, 218);
    SetBorder(FormBorder::Dialog);
    SetPosition(FormPosition::OwnerCenter);
    SetFont(u"Tahoma", 8);
    panel.SetAlign(Align::Left);
    panel.SetBounds(0, 0, 291, 199);
    label.SetBounds(8, 8, 200, 13);
    label.SetCaption(u"ADIF data file");
    label.SetBold(true);
    source.SetBounds(8, 24, 275, 21);
    modes.SetBounds(8, 68, 275, 21);
    modes.SetItems({u"zero", u"one", u"two"});
    memo.SetBounds(8, 112, 275, 79);
    memo.SetReadOnly(true);
    memo.SetWordWrap(false);
    memo.SetScrollBars(true, true);
    buttons.SetBounds(299, 20, 87, 62);
    buttons.SetCaptions(u"Append", u"Close");
    picture.SetBounds(309, 141, 72, 50);
    bar.SetAlign(Align::Bottom);
    bar.SetBounds(0, 199, 394, 19);
    errors.SetAlign(Align::Client);
    progress.SetBounds(0, 0, 150, 19);
    spare.SetBounds(0, 0, 89, 19);
    spare.SetFrame(false);
  }

  Panel panel;
  Label label;
  ButtonEdit source;
  ComboList modes;
  Memo memo;
  DialogButtons buttons;
  Image picture;
  StatusBar bar;
  StatusPane errors;
  ProgressPane progress;
  StatusPane spare;
};

HWND ChildWithText(HWND parent, const wchar_t* className, const wchar_t* text) {
  HWND child = nullptr;
  while ((child = FindWindowExW(parent, child, className, nullptr)) != nullptr) {
    wchar_t buffer[64] = {};
    GetWindowTextW(child, buffer, 64);
    if (std::wstring(buffer) == text) return child;
  }
  return nullptr;
}

std::u16string WindowText(HWND window) {
  wchar_t buffer[512] = {};
  const auto length = SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(length));
}

TEST(Win32Form, WindowsCarryTheDesignAndTheControlsState) {
  ProbeForm form;
  int changes = 0;
  form.source.OnChange = [&changes] { ++changes; };
  form.HandleNeeded();
  ASSERT_TRUE(form.HandleAllocated());
  const HWND window = form.Handle();

  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 394);
  EXPECT_EQ(client.bottom, 218);
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  EXPECT_NE(style & WS_CAPTION, 0u);
  EXPECT_EQ(FindWindowW(nullptr, L"Quillet window test"), window);

  // The buttons are standard push buttons found by caption, 87 pixels wide.
  const HWND append = ChildWithText(window, L"BUTTON", L"Append");
  const HWND close = ChildWithText(window, L"BUTTON", L"Close");
  ASSERT_NE(append, nullptr);
  ASSERT_NE(close, nullptr);
  RECT bounds{};
  GetWindowRect(append, &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 87);
  form.buttons.SetOkEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(append));
  EXPECT_FALSE(form.buttons.OkEnabled());
  form.buttons.SetOkEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(append));
  EXPECT_TRUE(IsWindowEnabled(close));

  // The memo is an EDIT whose text WM_GETTEXT returns; appended text keeps the old.
  const HWND memo = FindWindowExW(win32::WindowOf(form.panel).hwnd, nullptr, L"EDIT", nullptr);
  form.memo.SetText(u"* Import: log.adi\r\n");
  form.memo.SetText(u"* Import: log.adi\r\nRecords: 2\r\n");
  EXPECT_EQ(form.memo.Text(), u"* Import: log.adi\r\nRecords: 2\r\n");
  EXPECT_EQ(form.memo.LineCount(), 2);
  bool foundMemo = false;
  for (HWND edit = memo; edit != nullptr;
       edit = FindWindowExW(win32::WindowOf(form.panel).hwnd, edit, L"EDIT", nullptr)) {
    foundMemo = foundMemo || WindowText(edit) == u"* Import: log.adi\r\nRecords: 2\r\n";
  }
  EXPECT_TRUE(foundMemo);
  form.memo.SetText(u"");
  EXPECT_EQ(form.memo.LineCount(), 0);

  // Text set from code raises OnChange once; typed text raises it too.
  form.source.SetText(u"C:\\data\\log.adi");
  EXPECT_EQ(changes, 1);
  SetWindowTextW(win32::WindowOf(form.source).hwnd, L"C:\\other.adi");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(form.source.Text(), u"C:\\other.adi");

  form.modes.SetItemIndex(2);
  EXPECT_EQ(form.modes.ItemIndex(), 2);
  EXPECT_EQ(SendMessageW(win32::WindowOf(form.modes).hwnd, CB_GETCOUNT, 0, 0), 3);
  form.modes.SetItemIndex(7);
  EXPECT_EQ(form.modes.ItemIndex(), -1);

  form.errors.SetCaption(u"Warning: ADIF errors found");
  form.progress.SetPercent(40);
  EXPECT_EQ(form.progress.Percent(), 40);
  const HWND bar = win32::WindowOf(form.bar).hwnd;
  EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 0, 0), 3);
  int edges[3] = {};
  SendMessageW(bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  EXPECT_EQ(edges[0], 394 - 150 - 89);
  EXPECT_EQ(edges[1], 394 - 89);
  GetWindowRect(bar, &bounds);
  EXPECT_EQ(bounds.bottom - bounds.top, 19);
}

TEST(Win32Form, ClickedButtonsRunHandlersAndAPostedCloseEndsTheModalRun) {
  ProbeForm form;
  std::vector<std::string> events;
  form.OnActivate = [&] {
    events.push_back("activate");
    // Another program presses the buttons by their window messages.
    PostMessageW(ChildWithText(form.Handle(), L"BUTTON", L"Append"), BM_CLICK, 0, 0);
  };
  form.buttons.OnClickOk = [&] {
    events.push_back("ok");
    form.buttons.SetOkEnabled(false);
    PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  };
  form.OnClose = [&] { events.push_back("close"); };
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(events, (std::vector<std::string>{"activate", "ok", "close"}));
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST(Win32Form, IconsGoThroughTheWindowAndComeBack) {
  ProbeForm form;
  form.HandleNeeded();
  const HICON first =
      CreateIcon(nullptr, 16, 16, 1, 1, std::vector<BYTE>(32, 0xFF).data(), std::vector<BYTE>(32, 0).data());
  const HICON second = CopyIcon(first);
  EXPECT_EQ(form.SetIcon(IconKind::Small, first), nullptr);
  EXPECT_EQ(form.Icon(IconKind::Small), first);
  EXPECT_EQ(form.SetIcon(IconKind::Small, second), first);
  ::DestroyIcon(first);
  EXPECT_EQ(form.SetIcon(IconKind::Small, nullptr), second);
  ::DestroyIcon(second);
}

TEST(Win32Application, WaitCursorNestsAndErrorBoxesGoToTheHook) {
  {
    WaitCursor outer;
    WaitCursor inner;
    EXPECT_EQ(WaitCursorDepth(), 2);
  }
  EXPECT_EQ(WaitCursorDepth(), 0);
  std::vector<std::u16string> boxes;
  const ErrorBoxHook previous =
      SetErrorBoxHook([&boxes](std::u16string_view text) { boxes.emplace_back(text); });
  DispatchEvent([] { throw std::runtime_error("disk full"); });
  SetErrorBoxHook(previous);
  EXPECT_EQ(boxes, (std::vector<std::u16string>{u"disk full."}));
  PostMessageW(nullptr, WM_NULL, 0, 0);
  ProcessMessages();
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

}  // namespace
}  // namespace quillet::ui
