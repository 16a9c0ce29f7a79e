// Operates a module's real dialog on Windows as a person would, from a
// thread of its own while the module's modal loop runs on the host's UI
// thread: it finds the dialog by its caption among this process's windows,
// reads and sets its controls and presses its buttons through their window
// messages. Every wait has a time limit, so a dialog that never shows or a
// run that never ends cannot hold the host.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "host/services/run_signal.h"

namespace quillet::host {

// The import dialog's controls, found by kind and text.
struct DialogControls {
  HWND dialog{};
  HWND source{};  // single-line edit (edSource)
  HWND mode{};    // the first drop-down list (cbProve)
  HWND window{};  // the second drop-down list (cbWindow)
  HWND memo{};    // multi-line edit (mProgress)
  HWND append{};  // button "Append"
  HWND close{};   // button "Close"
  HWND status{};  // status bar (psErrors, psProgress, ...)
};

class DialogOperator;
// What the operator does once the dialog is there; its result is the
// operator's exit status (0: every step succeeded).
using DialogScript = std::function<int(DialogOperator& person, const DialogControls& dialog)>;

inline constexpr std::chrono::milliseconds kOperatorTimeout{60000};

class DialogOperator {
 public:
  // Starts the thread; it looks for a visible top-level window of this
  // process captioned caption, then runs script. runEnded must outlive it.
  DialogOperator(std::u16string caption, RunSignal& runEnded, DialogScript script,
                 std::chrono::milliseconds timeout = kOperatorTimeout);
  // Stops every wait and joins the thread.
  ~DialogOperator();
  DialogOperator(const DialogOperator&) = delete;
  DialogOperator& operator=(const DialogOperator&) = delete;

  // Joins the thread: the script's status, 1 when the dialog never showed.
  int Finish();
  // What went wrong, for standard error; empty when nothing did.
  const std::string& Failure() const { return failure_; }
  // The memo text copied by CopyMemo, with plain line breaks.
  const std::string& Transcript() const { return transcript_; }

  // Steps for scripts. Each returns false (with Failure set) on timeout.
  bool WaitEnabled(HWND control, bool enabled);
  // Presses a button: BM_CLICK, posted so the press does not wait for
  // what the click starts.
  bool Press(HWND button);
  // Waits for the end of the run the last Press started, answering any
  // error box the module shows.
  bool WaitRunEnded();
  std::u16string Text(HWND control);
  bool CopyMemo(HWND memo);
  // Sends a message to a window of the dialog's thread, the step every
  // other action of a script is made of; false when it was not answered
  // within the operator's time limit.
  bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result);
  // Records a failure; returns false.
  bool Fail(const std::string& what);

 private:
  void Run(const DialogScript& script);
  bool FindDialog(DialogControls& dialog);
  // Dismisses error boxes the module shows over the dialog; true when one was.
  bool AnswerErrorBoxes();

  std::u16string caption_;
  RunSignal& runEnded_;
  std::chrono::milliseconds timeout_;
  std::atomic<bool> stop_{false};
  int status_ = 1;
  HWND dialog_{};
  std::string failure_;
  std::string transcript_;
  std::thread thread_;
};

// "Append", the run's end, the memo to the transcript, then "Close".
int OperateImport(DialogOperator& person, const DialogControls& dialog);

}  // namespace quillet::host
