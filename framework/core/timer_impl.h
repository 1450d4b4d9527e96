#pragma once

#include "framework/core/timer.h"

#include <cstdint>
#include <mutex>

namespace plugkit {

// A timer backed by a system timer. The process keeps a list of the running
// timers; the system reports only an id, which is looked up in that list.
class Timer_impl : public Timer {
public:
  // Starts the system timer and registers it; a timer the system refuses
  // stays stopped.
  Timer_impl(Callback callback, int periodMs);
  ~Timer_impl() override;

  void Stop() override;

  // 0 when the timer is not running.
  uintptr_t Id() const { return id_; }
  int PeriodMs() const { return periodMs_; }

  // Runs the callback of the first running timer with this id, with the timer
  // lock held. An id not in the list is ignored. Exceptions from the callback
  // propagate after the lock is released.
  static void Dispatch(uintptr_t id);

  // The process-wide timer lock. A callback holds it while it runs, so it is
  // re-entrant: callbacks may create and stop timers.
  static std::recursive_mutex& Lock();

private:
  Callback callback_;
  uintptr_t id_ = 0;
  int periodMs_;
};

} // namespace plugkit
