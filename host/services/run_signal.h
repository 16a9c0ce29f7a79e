// The moment a module's import run has ended, as the host learns it: the
// journal line of a completed or failed run, or a message to the operator
// (which ends a click on "Append" that starts no run). The kernel raises it
// on the module's thread; whoever operates the dialog waits for it on another.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quillet::host {

class RunSignal {
 public:
  void Notify() {
    {
      std::lock_guard lock(mutex_);
      raised_ = true;
    }
    changed_.notify_all();
  }

  // True when the signal was raised within timeout (or before).
  bool WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return raised_; });
  }

  // Starts waiting for the next run.
  void Reset() {
    std::lock_guard lock(mutex_);
    raised_ = false;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool raised_ = false;
};

}  // namespace quillet::host
