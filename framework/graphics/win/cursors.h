#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plugkit::igraphics {

// The system cursor resource of a cursor type of the graphics context; the
// arrow for a type it does not know.
LPCWSTR SystemCursorFor(int cursorType);

} // namespace plugkit::igraphics
