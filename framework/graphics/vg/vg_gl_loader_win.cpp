#include "framework/graphics/vg/vg_gl_loader_win.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "framework/graphics/vg/vg_gl_functions.h"

namespace plugkit {

namespace {

using WglGetProcAddress = PROC(WINAPI*)(LPCSTR);

struct Lookup {
  HMODULE opengl32;
  WglGetProcAddress wglGetProcAddress;
};

void* Find(void* user, const char* name) {
  const auto* lookup = static_cast<const Lookup*>(user);
  auto* found = reinterpret_cast<void*>(lookup->wglGetProcAddress(name));
  // Some drivers answer with small sentinel values instead of null.
  const auto value = reinterpret_cast<intptr_t>(found);
  if (value >= -1 && value <= 3) {
    found = reinterpret_cast<void*>(GetProcAddress(lookup->opengl32, name));
  }
  return found;
}

} // namespace

bool VgLoadGlFunctionsWin32() {
  HMODULE opengl32 = LoadLibraryA("opengl32.dll");
  if (!opengl32) return false;
  // Through void*: FARPROC and the real signature are distinct function types.
  void* wglLookup = reinterpret_cast<void*>(GetProcAddress(opengl32, "wglGetProcAddress"));
  Lookup lookup{opengl32, reinterpret_cast<WglGetProcAddress>(wglLookup)};
  const bool loaded = lookup.wglGetProcAddress && VgLoadGlFunctions(Find, &lookup);
  // The program imports opengl32.dll for its WGL context, so the functions
  // stay loaded after this handle is released.
  FreeLibrary(opengl32);
  return loaded;
}

} // namespace plugkit
