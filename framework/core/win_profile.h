#pragma once

#include <windows.h>

namespace plugkit {

// Profile (.ini) calls with UTF-8 texts. The wide form is taken when the file
// path holds multi-byte text, so that the file name and the texts in it stay
// whole, or is 256 bytes or longer, which only the wide form with the
// long-path prefix reaches; otherwise, or when a text is not strict UTF-8,
// the narrow form.

UINT Utf8GetPrivateProfileInt(const char* section, const char* key, INT fallback, const char* file);
// Writes at most size - 1 bytes and a terminator to `out`, never cutting a
// character; with a null section or key (the list of names, each ended by a
// zero) at most size - 2 bytes and two terminators. Returns the bytes before
// the terminators.
DWORD Utf8GetPrivateProfileString(const char* section, const char* key, const char* fallback,
                                  char* out, DWORD size, const char* file);
BOOL Utf8WritePrivateProfileString(const char* section, const char* key, const char* value,
                                   const char* file);

} // namespace plugkit
