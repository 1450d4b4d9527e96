#include "framework/core/win_files.h"

#include "framework/core/win_text.h"

namespace plugkit {

BOOL Utf8CreateDirectory(const char* path, LPSECURITY_ATTRIBUTES security) {
  if (PathNeedsWide(path)) {
    WidePath wide(path);
    if (wide.Ok()) {
      AddLongPathPrefix(wide.Get());
      return CreateDirectoryW(wide.Get(), security);
    }
  }
  return CreateDirectoryA(path, security);
}

HMODULE Utf8LoadLibrary(const char* path) {
  if (PathNeedsWide(path)) {
    WidePath wide(path);
    if (wide.Ok()) {
      AddLongPathPrefix(wide.Get());
      if (HMODULE module = LoadLibraryW(wide.Get())) return module;
    }
  }
  return LoadLibraryA(path);
}

FILE* Utf8Fopen(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  if (PathNeedsWide(path)) {
    WidePath wide(path);
    WideName wideMode(mode);
    if (wide.Ok() && wideMode.Ok() && wideMode.Get()) {
      AddLongPathPrefix(wide.Get());
      return _wfopen(wide.Get(), wideMode.Get());
    }
  }
  return std::fopen(path, mode);
}

int Utf8Stat(const char* path, struct _stat64* info) {
  if (!path || !info) return -1;
  if (PathNeedsWide(path)) {
    WidePath wide(path);
    if (wide.Ok()) {
      AddLongPathPrefix(wide.Get());
      return _wstat64(wide.Get(), info);
    }
  }
  return _stat64(path, info);
}

} // namespace plugkit
