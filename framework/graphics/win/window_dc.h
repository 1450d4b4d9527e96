#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plugkit::igraphics {

// The editor window's device contexts are taken and given back here, and
// counted: a context that is never given back (the screen's, taken for a
// window that does not exist yet) is a leak nothing else in the process
// shows.
HDC TakeWindowDC(HWND window);
void GiveBackWindowDC(HWND window, HDC dc);

// Contexts GetDC handed out and ReleaseDC took back, over the process.
struct WindowDCCount {
  long taken;
  long givenBack;
};
WindowDCCount CountWindowDCs();

} // namespace plugkit::igraphics
