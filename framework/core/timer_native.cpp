#include "framework/core/timer_native.h"

#include "framework/core/timer_backend.h"
#include "framework/core/timer_impl.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace plugkit {

namespace {

struct NativeTimers {
  std::mutex lock;
  uintptr_t lastId = 0;
  std::vector<uintptr_t> running;
  bool refuse = false;
  int killCount = 0;
};

// Never destroyed, for the same reason as the list of running timers.
NativeTimers& Native() {
  static NativeTimers* const native = new NativeTimers();
  return *native;
}

} // namespace

namespace timer_native {

void DeliverTimerMessage(uintptr_t id) { Timer_impl::Dispatch(id); }

void SetRefuseNewTimers(bool refuse) {
  NativeTimers& native = Native();
  std::lock_guard<std::mutex> guard(native.lock);
  native.refuse = refuse;
}

bool IsSystemTimerRunning(uintptr_t id) {
  NativeTimers& native = Native();
  std::lock_guard<std::mutex> guard(native.lock);
  return std::find(native.running.begin(), native.running.end(), id) != native.running.end();
}

} // namespace timer_native

namespace timer_backend {

uintptr_t StartSystemTimer(int) {
  NativeTimers& native = Native();
  std::lock_guard<std::mutex> guard(native.lock);
  if (native.refuse) return 0;
  const uintptr_t id = ++native.lastId;
  native.running.push_back(id);
  return id;
}

void KillSystemTimer(uintptr_t id) {
  NativeTimers& native = Native();
  std::lock_guard<std::mutex> guard(native.lock);
  native.running.erase(std::remove(native.running.begin(), native.running.end(), id),
                       native.running.end());
  ++native.killCount;
}

int SystemKillCount() {
  NativeTimers& native = Native();
  std::lock_guard<std::mutex> guard(native.lock);
  return native.killCount;
}

} // namespace timer_backend
} // namespace plugkit
