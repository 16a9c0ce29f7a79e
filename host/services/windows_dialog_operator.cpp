#include "host/services/windows_dialog_operator.h"

// (after <windows.h>, which the common controls need first)
#include <commctrl.h>

#include <utility>
#include <vector>

#include "host/base/text.h"

namespace quillet::host {
namespace {

// The operator runs on a thread of its own and looks at the dialog from
// outside, as a person would; it polls, since the dialog's thread (the
// host's) owes it no notification.
constexpr std::chrono::milliseconds kPollInterval{20};

// The window's own text, without a message to its thread: safe whatever
// that thread is doing (buttons, captions and static texts keep it here).
std::u16string StoredText(HWND window) {
  wchar_t text[512];
  const int length = InternalGetWindowText(window, text, static_cast<int>(std::size(text)));
  return std::u16string(reinterpret_cast<const char16_t*>(text),
                        static_cast<std::size_t>(length > 0 ? length : 0));
}

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t found[64];
  return GetClassNameW(window, found, static_cast<int>(std::size(found))) > 0 && lstrcmpiW(found, name) == 0;
}

// Only the module's windows in this process: a desktop shared with other
// programs must not have their windows pressed or closed.
bool OfThisProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

BOOL CALLBACK CollectVisibleOfProcess(HWND window, LPARAM list) {
  if (OfThisProcess(window) && IsWindowVisible(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// Every descendant, not only direct children: the dialog's controls sit
// inside panels.
BOOL CALLBACK CollectAll(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectVisibleOfProcess, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectAll, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void TakeControl(HWND child, DialogControls& dialog) {
  if (HasClass(child, L"Button")) {
    const std::u16string text = StoredText(child);
    // Buttons are found by their captions, the only mark the dialog's
    // controls carry that a third party would see.
    if (text == u"Append") dialog.append = child;
    if (text == u"Close") dialog.close = child;
  } else if (HasClass(child, L"Edit")) {
    // The transcript is the only multi-line edit; the source file's edit is a
    // single line.
    const bool multiLine = (GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE) != 0;
    (multiLine ? dialog.memo : dialog.source) = child;
  } else if (HasClass(child, L"ComboBox")) {
    // Children are listed in the order the dialog created them.
    (dialog.mode == nullptr ? dialog.mode : dialog.window) = child;
  } else if (HasClass(child, STATUSCLASSNAMEW)) {
    dialog.status = child;
  }
}

// CR LF pairs (and lone CRs) as plain line breaks, the last line closed.
// The transcript as the headless screen writes it ("\n" line breaks), so
// that the two platforms' transcripts compare equal.
std::string PlainLines(std::u16string_view text) {
  std::u16string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    lines.push_back(text[i] == u'\r' ? u'\n' : text[i]);
  }
  if (!lines.empty() && lines.back() != u'\n') lines.push_back(u'\n');
  return Utf8(lines);
}

}  // namespace

DialogOperator::DialogOperator(std::u16string caption, RunSignal& runEnded, DialogScript script,
                               std::chrono::milliseconds timeout)
    : caption_(std::move(caption)), runEnded_(runEnded), timeout_(timeout) {
  thread_ = std::thread([this, script = std::move(script)] { Run(script); });
}

DialogOperator::~DialogOperator() { Finish(); }

int DialogOperator::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return status_;
}

// The script gets the dialog only once its three controls exist: the
// window may show before its controls are made.
void DialogOperator::Run(const DialogScript& script) {
  DialogControls dialog;
  const auto deadline = std::chrono::steady_clock::now() + timeout_;
  while (!FindDialog(dialog)) {
    if (stop_) return;
    if (std::chrono::steady_clock::now() > deadline) {
      Fail("the dialog \"" + Utf8(caption_) + "\" did not show");
      // Whatever the module shows instead must not hold the host's thread.
      // Posted, not sent: a SendMessage would wait for a thread that may be
      // stuck in a modal loop of the module's.
      for (HWND window : TopLevelWindows()) PostMessageW(window, WM_CLOSE, 0, 0);
      return;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  dialog_ = dialog.dialog;
  status_ = script(*this, dialog);
  if (status_ != 0 && failure_.empty()) failure_ = "the dialog was not operated to its end";
}

bool DialogOperator::FindDialog(DialogControls& dialog) {
  for (HWND window : TopLevelWindows()) {
    if (StoredText(window) != caption_) continue;
    DialogControls found{window};
    for (HWND child : ChildWindows(window)) TakeControl(child, found);
    if (found.append != nullptr && found.close != nullptr && found.memo != nullptr) {
      dialog = found;
      return true;
    }
  }
  return false;
}

bool DialogOperator::Fail(const std::string& what) {
  if (!failure_.empty()) failure_ += "; ";
  failure_ += what;
  return false;
}

bool DialogOperator::WaitEnabled(HWND control, bool enabled) {
  const auto deadline = std::chrono::steady_clock::now() + timeout_;
  while ((IsWindowEnabled(control) != FALSE) != enabled) {
    if (stop_ || !IsWindow(control) || std::chrono::steady_clock::now() > deadline) {
      return Fail("\"" + Utf8(StoredText(control)) + "\" did not become " +
                  (enabled ? "enabled" : "disabled"));
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

bool DialogOperator::Press(HWND button) {
  const std::string name = Utf8(StoredText(button));
  if (!IsWindow(button) || !IsWindowEnabled(button)) return Fail("\"" + name + "\" cannot be pressed");
  runEnded_.Reset();  // WaitRunEnded waits for what this press starts
  // Posted: the click starts a run on the host's thread, and this thread
  // must stay free to watch it.
  if (!PostMessageW(button, BM_CLICK, 0, 0)) return Fail("pressing \"" + name + "\" failed");
  return true;
}

// No deadline: a large file on a slow machine may take an hour, and a run
// given up on while the module still writes would be reported as failed
// though its QSOs are stored. Ctrl+C ends a run the operator no longer wants.
bool DialogOperator::WaitRunEnded() {
  while (!runEnded_.WaitFor(kPollInterval * 5)) {
    // An error box ends the run (the module shows it once the run is over).
    if (AnswerErrorBoxes()) return Fail("the run ended with an error");
    if (stop_ || !IsWindow(dialog_)) return Fail("the dialog closed during the run");
  }
  return true;
}

bool DialogOperator::AnswerErrorBoxes() {
  bool answered = false;
  for (HWND window : TopLevelWindows()) {
    // "#32770" is the class of the system's message boxes (and dialogs).
    if (window == dialog_ || !HasClass(window, L"#32770")) continue;
    std::string message = Utf8(StoredText(window)) + ":";
    HWND button = nullptr;
    for (HWND child : ChildWindows(window)) {
      if (HasClass(child, L"Static") && !StoredText(child).empty()) message += " " + Utf8(StoredText(child));
      if (HasClass(child, L"Button") && button == nullptr) button = child;
    }
    Fail(message);
    if (button != nullptr) PostMessageW(button, BM_CLICK, 0, 0);
    answered = true;
  }
  return answered;
}

bool DialogOperator::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
  // Sent with a timeout: reading a control's text needs its thread, which a
  // stuck module would never let answer.
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, static_cast<UINT>(timeout_.count()),
                             &result) != 0;
}

std::u16string DialogOperator::Text(HWND control) {
  DWORD_PTR length = 0;
  if (!Send(control, WM_GETTEXTLENGTH, 0, 0, length)) {
    Fail("reading a control's text timed out");
    return {};
  }
  std::u16string text(length + 1, u'\0');
  DWORD_PTR copied = 0;
  if (!Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied)) {
    Fail("reading a control's text timed out");
    return {};
  }
  text.resize(copied);
  return text;
}

bool DialogOperator::CopyMemo(HWND memo) {
  const std::string failures = failure_;
  const std::u16string text = Text(memo);
  if (failure_ != failures) return false;
  transcript_ = PlainLines(text);
  return true;
}

int OperateImport(DialogOperator& person, const DialogControls& dialog) {
  if (!person.WaitEnabled(dialog.append, true)) {
    person.Press(dialog.close);
    return 1;
  }
  const bool ran = person.Press(dialog.append) && person.WaitRunEnded() && person.CopyMemo(dialog.memo);
  const bool closed = person.Press(dialog.close);
  return ran && closed ? 0 : 1;
}

}  // namespace quillet::host
