#include "framework/graphics/vg/vg_gl2_backend.h"

#include "framework/graphics/vg/vg_gl2_shader.h"

namespace plugkit {

namespace {

constexpr const char* kShaderHeader =
    "#define VG_GL2 1\n"
    "#define UNIFORMARRAY_SIZE 11\n"
    "\n";
constexpr const char* kAntialiasOption = "#define EDGE_AA 1\n";

VgGl2Backend* Backend(void* user) { return static_cast<VgGl2Backend*>(user); }

} // namespace

int32_t VgGl2RenderCreate(void* user) {
  VgGl2Backend* backend = Backend(user);
  const char* options = (backend->flags & kVgGl2Antialias) ? kAntialiasOption : "";
  if (!VgGl2CompileShader(&backend->shader, "shader", kShaderHeader, options, kVgGl2VertexShader,
                          kVgGl2FragmentShader)) {
    return 0;
  }
  const GLuint program = backend->shader.program;
  backend->viewSizeLocation = vgGl.GetUniformLocation(program, "viewSize");
  backend->texLocation = vgGl.GetUniformLocation(program, "tex");
  backend->fragLocation = vgGl.GetUniformLocation(program, "frag");
  vgGl.GenBuffers(1, &backend->vertexBuffer);
  backend->fragSize = kVgGl2FragStride;
  // Calls without an image still bind a texture; its one texel is
  // transparent so that an image that is gone draws nothing.
  const uint8_t transparent = 0;
  backend->dummyTexture = VgGl2CreateTexture(backend, kVgTextureAlpha, 1, 1, 0, &transparent);
  vgGl.Finish();
  return 1;
}

void VgGl2Viewport(void* user, float width, float height, float /*devicePixelRatio*/) {
  VgGl2Backend* backend = Backend(user);
  backend->view[0] = width;
  backend->view[1] = height;
}

void VgGl2RenderDelete(void* user) {
  VgGl2Backend* backend = Backend(user);
  if (!backend) return;
  const VgGl2Shader& shader = backend->shader;
  if (shader.program) vgGl.DeleteProgram(shader.program);
  if (shader.vertex) vgGl.DeleteShader(shader.vertex);
  if (shader.fragment) vgGl.DeleteShader(shader.fragment);
  if (backend->vertexBuffer) vgGl.DeleteBuffers(1, &backend->vertexBuffer);
  for (int i = 0; i < backend->textures.Count(); ++i) {
    const VgGl2Texture& texture = backend->textures[i];
    if (texture.id != 0 && texture.texture != 0 && !(texture.flags & kVgImageDoNotDelete)) {
      vgGl.DeleteTextures(1, &texture.texture);
    }
  }
  delete backend;
}

VgBackendCallbacks VgGl2Callbacks(VgGl2Backend* backend) {
  VgBackendCallbacks callbacks;
  callbacks.user = backend;
  callbacks.edgeAntialias = (backend->flags & kVgGl2Antialias) ? 1 : 0;
  callbacks.create = VgGl2RenderCreate;
  callbacks.createTexture = VgGl2CreateTexture;
  callbacks.deleteTexture = VgGl2DeleteTexture;
  callbacks.updateTexture = VgGl2UpdateTexture;
  callbacks.getTextureSize = VgGl2GetTextureSize;
  callbacks.viewport = VgGl2Viewport;
  callbacks.cancel = VgGl2Cancel;
  callbacks.flush = VgGl2Flush;
  callbacks.fill = VgGl2RenderFill;
  callbacks.stroke = VgGl2RenderStroke;
  callbacks.triangles = VgGl2RenderTriangles;
  callbacks.destroy = VgGl2RenderDelete;
  return callbacks;
}

} // namespace plugkit
