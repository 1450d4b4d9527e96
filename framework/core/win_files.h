#pragma once

#include <sys/stat.h>
#include <windows.h>

#include <cstdio>

namespace plugkit {

// File calls on UTF-8 paths. Each takes the wide form of the call when the
// path holds multi-byte text or is 256 bytes or longer (adding the long-path
// prefix), and the narrow form otherwise or when a text is not strict UTF-8.

BOOL Utf8CreateDirectory(const char* path, LPSECURITY_ATTRIBUTES security);
// The narrow form is tried as well when the wide one finds nothing.
HMODULE Utf8LoadLibrary(const char* path);
FILE* Utf8Fopen(const char* path, const char* mode);
// 0 when the path exists, its details in `info`.
int Utf8Stat(const char* path, struct _stat64* info);

} // namespace plugkit
