#include "tests/framework/core/timer_delivery.h"

#include "framework/core/timer_native.h"

void DeliverTimerMessageForTest(uintptr_t id) { plugkit::timer_native::DeliverTimerMessage(id); }
