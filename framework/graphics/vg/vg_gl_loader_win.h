#pragma once

namespace plugkit {

// Fills the GL entry-point table on Windows with a WGL context current:
// wglGetProcAddress gives everything past OpenGL 1.1 and nothing of 1.1
// itself, which opengl32.dll exports. Returns VgLoadGlFunctions's result.
bool VgLoadGlFunctionsWin32();

} // namespace plugkit
