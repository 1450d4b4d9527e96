#pragma once

#include <windows.h>

namespace plugkit::test {

// The threads the process runs now, or -1 when they cannot be listed.
int CountThreads(DWORD processId = GetCurrentProcessId());

} // namespace plugkit::test
