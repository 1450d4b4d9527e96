#include "tests/framework/core/timer_delivery.h"

#include "framework/core/timer_win.h"

void DeliverTimerMessageForTest(uintptr_t id) { plugkit::TimerProc(nullptr, WM_TIMER, id, 0); }
