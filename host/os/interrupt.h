// SIGINT and SIGTERM while the module runs: the signal only notes that it
// came and posts the module a request to quit, and the host ends the
// process by it at the next point where its work is committed
// (WriteBatch::Settle, or the end of the run, which the module ends at its
// next record or piece read), so that an interrupted import keeps every
// record it has carried out.
#pragma once

#include <functional>

namespace quillet::host {

// While alive, SIGINT and SIGTERM are noted instead of ending the process.
// The destructor restores the previous handling and, when one was noted,
// ends the process by it.
class InterruptDeferral {
 public:
  InterruptDeferral();
  ~InterruptDeferral();
  InterruptDeferral(const InterruptDeferral&) = delete;
  InterruptDeferral& operator=(const InterruptDeferral&) = delete;

 private:
  using Handler = void (*)(int);
  Handler previousInterrupt_;
  Handler previousTerminate_;
};

// While alive, action runs when the process ends by a noted signal, in
// place of the destructors that will not run then: for what only this
// process would clean up. Actions run newest first.
class InterruptCleanup {
 public:
  explicit InterruptCleanup(std::function<void()> action);
  ~InterruptCleanup();
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

 private:
  std::function<void()> action_;
};

bool InterruptPending();
// Ends the process by the noted signal, with its default handling.
[[noreturn]] void EndByPendingInterrupt();

}  // namespace quillet::host
