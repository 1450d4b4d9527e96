#pragma once

#include "framework/core/string_buffer.h"

#include <cstdio>

namespace plugkit {

// The module whose embedded resources are searched: its HMODULE on Windows.
// Native builds have no embedded resources and ignore it.
using ModuleHandle = void*;

// What LocateResource found.
enum LocateResult { kResourceNotFound = 0, kResourceFile = 1, kResourceEmbedded = 2 };

// Finds `name` among the module's resources of `type` (case-insensitively),
// then as a file. A found resource leaves in `result` the name it is stored
// by, which LoadWinResource takes; a found file leaves the path. Returns
// 0 when nothing was found, 1 for a file path, 2 for a resource.
int LocateResource(const char* name, const char* type, StringBuffer& result, ModuleHandle module);

// The bytes of the module's resource `name` of `type`, read-only and owned by
// the module, with `size` set to their count; null when there is no such
// resource of more than 7 bytes. Always null in native builds.
const void* LoadWinResource(const char* name, const char* type, int& size, ModuleHandle module);

// Opens a file that LocateResource found for reading its raw bytes. The path
// is UTF-8, which on Windows only the wide open reaches whole. Null when it
// cannot be opened.
std::FILE* OpenResourceFile(const char* path);

} // namespace plugkit
