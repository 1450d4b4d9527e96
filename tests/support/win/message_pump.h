#pragma once

#include <windows.h>

namespace plugkit::test {

// Dispatches this thread's messages for `milliseconds`.
void PumpMessages(DWORD milliseconds);

} // namespace plugkit::test
