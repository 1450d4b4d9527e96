#pragma once

#include <functional>

namespace plugkit {

// A periodic callback on the user-interface thread. Every callback runs with
// the process-wide timer lock held, so a callback may create or stop timers.
class Timer {
public:
  using Callback = std::function<void(Timer&)>;

  // The caller owns the returned timer. A timer the system refused still
  // exists and never fires.
  static Timer* Create(Callback callback, int periodMs);

  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  virtual ~Timer() = default;
  // Harmless when already stopped.
  virtual void Stop() = 0;
};

} // namespace plugkit
