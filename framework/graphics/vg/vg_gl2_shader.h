#pragma once

#include "framework/graphics/vg/vg_gl2_backend.h"

namespace plugkit {

// The two stages of the back end's one program, in GLSL 1.10; each is
// compiled after the header and options texts.
extern const char* const kVgGl2VertexShader;
extern const char* const kVgGl2FragmentShader;

// Compiles and links `shader` from header + options + text for each stage,
// with the attributes "vertex" at location 0 and "tcoord" at 1. A compile
// or link failure is printed on the standard output with the GL log, leaves
// no GL object behind and returns false.
bool VgGl2CompileShader(VgGl2Shader* shader, const char* name, const char* header,
                        const char* options, const char* vertexText, const char* fragmentText);

} // namespace plugkit
