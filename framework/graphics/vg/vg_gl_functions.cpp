#include "framework/graphics/vg/vg_gl_functions.h"

namespace plugkit {

VgGlFunctions vgGl;

bool VgLoadGlFunctions(VgGlGetProcAddress getProcAddress, void* user) {
  bool complete = true;
#define VG_GL_LOAD(type, member, name)                              \
  vgGl.member = reinterpret_cast<type>(getProcAddress(user, name)); \
  complete = complete && vgGl.member != nullptr;
  VG_GL_FUNCTIONS(VG_GL_LOAD)
#undef VG_GL_LOAD
  return complete;
}

} // namespace plugkit
