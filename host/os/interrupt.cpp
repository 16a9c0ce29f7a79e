#include "host/os/interrupt.h"

#include <csignal>
#include <cstdlib>
#include <vector>

#ifndef _WIN32
#include <quillet/quit_request.h>
#endif

namespace quillet::host {
namespace {

volatile std::sig_atomic_t noted = 0;

// The live cleanups, oldest first. Read only by EndByPendingInterrupt,
// which runs on the thread that the run's work is committed on, never in
// the signal handler.
std::vector<const std::function<void()>*>& Cleanups() {
  static std::vector<const std::function<void()>*> cleanups;
  return cleanups;
}

// The module's run learns of the signal through its message pump, as a
// Windows program learns of a request to quit, and stops at the next
// record or piece of its source.
extern "C" void NoteSignal(int signal) {
  noted = signal;
#ifndef _WIN32
  QuilletPostQuit();
#endif
}

}  // namespace

InterruptDeferral::InterruptDeferral()
    : previousInterrupt_(std::signal(SIGINT, NoteSignal)),
      previousTerminate_(std::signal(SIGTERM, NoteSignal)) {}

InterruptDeferral::~InterruptDeferral() {
  std::signal(SIGINT, previousInterrupt_ == SIG_ERR ? SIG_DFL : previousInterrupt_);
  std::signal(SIGTERM, previousTerminate_ == SIG_ERR ? SIG_DFL : previousTerminate_);
  if (InterruptPending()) EndByPendingInterrupt();
}

InterruptCleanup::InterruptCleanup(std::function<void()> action) : action_(std::move(action)) {
  Cleanups().push_back(&action_);
}

InterruptCleanup::~InterruptCleanup() { std::erase(Cleanups(), &action_); }

bool InterruptPending() { return noted != 0; }

void EndByPendingInterrupt() {
  const int signal = noted;
  auto& cleanups = Cleanups();
  while (!cleanups.empty()) {
    const std::function<void()>* action = cleanups.back();
    cleanups.pop_back();
    (*action)();
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);  // where raising does not end the process
}

}  // namespace quillet::host
