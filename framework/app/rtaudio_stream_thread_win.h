#pragma once

#include "RtAudio.h"

#include <windows.h>

namespace plugkit {

// The thread on which the library calls its open stream back, or null when
// no stream is open. The library owns the handle and closes it with the
// stream.
HANDLE StreamCallbackThread(const RtAudio& audio);

// True while another thread holds the lock of the library's open stream, as
// its stream thread does for as long as it waits for the device to move its
// buffer.
bool StreamLockTaken(RtAudio& audio);

} // namespace plugkit
