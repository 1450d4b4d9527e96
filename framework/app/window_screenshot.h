#pragma once

#include <windows.h>

namespace plugkit {

// Writes the client area of `window` as an opaque PNG of exactly its size to
// the UTF-8 `path`. False when the window has no client area to take, the
// picture cannot be taken or encoded, or the file cannot be written whole
// (a partly written file is removed).
bool SaveWindowScreenshot(HWND window, const char* path);

} // namespace plugkit
