#pragma once

#include <windows.h>

namespace plugkit::test {

// The size of the window's client area; zero for a window that is gone.
SIZE ClientSize(HWND window);

} // namespace plugkit::test
