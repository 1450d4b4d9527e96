#pragma once

#include <windows.h>

namespace plugkit {

// Receives the system's thread-timer messages and runs the matching timer.
// Exceptions from a callback end here: they must not unwind through the
// system's message dispatch, which belongs to the host.
void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

} // namespace plugkit
