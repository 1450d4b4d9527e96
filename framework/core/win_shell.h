#pragma once

#include <windows.h>

#include <cstddef>
#include <ctime>

namespace plugkit {

// The wide form when the text or the caption holds anything but 7-bit text.
int Utf8MessageBox(HWND window, const char* text, const char* caption, UINT type);

// A special folder (a CSIDL id) as a UTF-8 path in `out` of `size` bytes;
// false when the folder is unknown or its path does not fit whole.
bool Utf8GetSpecialFolderPath(HWND window, char* out, int size, int folder, bool create);

// strftime with a UTF-8 format and a UTF-8 result of at most size - 1 bytes
// (cut between characters) and a terminator. Returns the bytes written.
size_t Utf8Strftime(char* out, size_t size, const char* format, const struct tm* time);

} // namespace plugkit
