#pragma once

#include "framework/core/string_buffer.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plugkit::igraphics {

// The clipboard's text as UTF-8; an empty text and false when it holds none
// or cannot be opened.
bool GetClipboardText(StringBuffer& text);
// Replaces the clipboard's contents with the UTF-8 text (an empty text leaves
// it empty); false when the clipboard cannot be opened or the data placed.
bool SetClipboardText(HWND owner, const char* text);
// Places one file path (CF_HDROP); false when it cannot be placed.
bool SetClipboardFilePath(HWND owner, const char* path);

} // namespace plugkit::igraphics
