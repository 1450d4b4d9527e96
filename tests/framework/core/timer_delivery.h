#pragma once

#include <cstdint>

// Delivers one timer message for the id through the platform's own entry
// point, so the shared timer tests exercise the same path the system uses.
void DeliverTimerMessageForTest(uintptr_t id);
