#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plugkit::igraphics {

using DpiForWindowFunc = UINT(WINAPI*)(HWND);

// The window's DPI over 96 (exactly 1.0 at 96), from user32's
// GetDpiForWindow; 1.0 where the system lacks it.
float GetWindowScale(HWND window);

// Replaces the DPI query (a system with several monitor DPIs stands in for
// one that has a single one); null looks GetDpiForWindow up again.
void SetDpiForWindowFunction(DpiForWindowFunc function);

} // namespace plugkit::igraphics
