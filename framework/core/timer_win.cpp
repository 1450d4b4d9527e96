#include "framework/core/timer_win.h"

#include "framework/core/timer_backend.h"
#include "framework/core/timer_impl.h"

#include <algorithm>
#include <atomic>

namespace plugkit {

namespace {
std::atomic<int> killCount{0};
} // namespace

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  try {
    Timer_impl::Dispatch(id);
  } catch (...) {
  }
}

namespace timer_backend {

uintptr_t StartSystemTimer(int periodMs) {
  // A negative period would wrap to an interval of weeks; the system raises
  // anything below its minimum to that minimum.
  const UINT elapse = static_cast<UINT>(std::max(periodMs, 0));
  return SetTimer(nullptr, 0, elapse, TimerProc);
}

void KillSystemTimer(uintptr_t id) {
  KillTimer(nullptr, id);
  ++killCount;
}

int SystemKillCount() { return killCount.load(); }

} // namespace timer_backend
} // namespace plugkit
