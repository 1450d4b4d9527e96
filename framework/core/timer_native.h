#pragma once

#include <cstdint>

// The timer back end of native builds. Nothing fires by itself: the owner of
// the message loop (in practice a test) delivers timer messages by hand.
namespace plugkit::timer_native {

// Delivers one timer message for the id, as the system would.
void DeliverTimerMessage(uintptr_t id);

// While set, the system refuses every new timer.
void SetRefuseNewTimers(bool refuse);

// True while a system timer with this id has been started and not killed.
bool IsSystemTimerRunning(uintptr_t id);

} // namespace plugkit::timer_native
