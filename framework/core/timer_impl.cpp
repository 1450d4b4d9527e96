#include "framework/core/timer_impl.h"

#include "framework/core/pointer_list.h"
#include "framework/core/timer_backend.h"

#include <utility>

namespace plugkit {

namespace {

struct RunningTimers {
  std::recursive_mutex lock;
  PointerList<Timer_impl> list{4096};
};

// Never destroyed: timers owned by other static objects may stop during
// program exit, after any ordinary static would already be gone.
RunningTimers& Running() {
  static RunningTimers* const running = new RunningTimers();
  return *running;
}

} // namespace

Timer* Timer::Create(Callback callback, int periodMs) {
  return new Timer_impl(std::move(callback), periodMs);
}

Timer_impl::Timer_impl(Callback callback, int periodMs)
    : callback_(std::move(callback)), periodMs_(periodMs) {
  id_ = timer_backend::StartSystemTimer(periodMs_);
  if (id_ == 0) return;
  RunningTimers& running = Running();
  std::lock_guard<std::recursive_mutex> guard(running.lock);
  running.list.Add(this);
}

Timer_impl::~Timer_impl() { Stop(); }

void Timer_impl::Stop() {
  if (id_ == 0) return;
  timer_backend::KillSystemTimer(id_);
  RunningTimers& running = Running();
  std::lock_guard<std::recursive_mutex> guard(running.lock);
  for (int i = 0; i < running.list.Count(); ++i) {
    if (running.list.Get(i) == this) {
      running.list.Remove(i);
      break;
    }
  }
  id_ = 0;
}

void Timer_impl::Dispatch(uintptr_t id) {
  if (id == 0) return;
  RunningTimers& running = Running();
  std::lock_guard<std::recursive_mutex> guard(running.lock);
  for (int i = 0; i < running.list.Count(); ++i) {
    Timer_impl* timer = running.list.Get(i);
    if (timer->id_ == id) {
      timer->callback_(*timer);
      return;
    }
  }
}

std::recursive_mutex& Timer_impl::Lock() { return Running().lock; }

} // namespace plugkit
