#pragma once

#include <windows.h>

namespace plugkit {

// Profile (.ini) calls with UTF-8 texts. The narrow form passes texts through
// the system's code page, which garbles or loses every character outside it,
// even in a UTF-16 file. The wide form is therefore taken when the file path,
// a section, a key or a value holds multi-byte text, or the path is 256 bytes
// or longer, which only the wide form with the long-path prefix reaches; a
// text is always read with the wide form, since what is stored may be in any
// script. The narrow form remains for a text that is not strict UTF-8.

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
