#pragma once

#include <cstdint>

// The system side of timers. Each platform supplies one back end; the
// list, the lock and the lookup are shared and live with Timer_impl.
namespace plugkit::timer_backend {

// Starts a periodic system timer whose messages reach Timer_impl::Dispatch.
// Returns 0 when the system refuses.
uintptr_t StartSystemTimer(int periodMs);

void KillSystemTimer(uintptr_t id);

// How many system timers have been killed since the process started.
int SystemKillCount();

} // namespace plugkit::timer_backend
