#include <cstdint>

#include "framework/graphics/vg/vg_gl2_backend.h"

#include <algorithm>
#include <cmath>

namespace plugkit {

namespace {

constexpr GLuint kAllBits = 0xffffffffu;

void SetStencilMask(VgGl2Backend* backend, GLuint mask) {
  if (backend->cache.stencilMask == mask) return;
  backend->cache.stencilMask = mask;
  vgGl.StencilMask(mask);
}

void SetStencilFunc(VgGl2Backend* backend, GLenum func, GLint ref, GLuint mask) {
  VgGl2GlCache& cache = backend->cache;
  if (cache.stencilFunc == func && cache.stencilFuncRef == ref && cache.stencilFuncMask == mask) {
    return;
  }
  cache.stencilFunc = func;
  cache.stencilFuncRef = ref;
  cache.stencilFuncMask = mask;
  vgGl.StencilFunc(func, ref, mask);
}

// GL's scissor test around the call's scissor, a pixel wider on each side
// for the antialiased edge; none without a scissor (or a box that is not a
// number).
void SetScissorTest(const VgGl2Call& call, const GLint* viewport, float xScale, float yScale) {
  const float* box = call.scissorBox;
  if (!(box[0] <= box[2]) || !(box[1] <= box[3])) {
    vgGl.Disable(GL_SCISSOR_TEST);
    return;
  }
  const float limit = 1e7f;
  const float left = std::clamp(std::floor(box[0] * xScale) - 1.0f, -limit, limit);
  const float right = std::clamp(std::ceil(box[2] * xScale) + 1.0f, -limit, limit);
  const float top = std::clamp(std::floor(box[1] * yScale) - 1.0f, -limit, limit);
  const float bottom = std::clamp(std::ceil(box[3] * yScale) + 1.0f, -limit, limit);
  vgGl.Enable(GL_SCISSOR_TEST);
  vgGl.Scissor(viewport[0] + static_cast<GLint>(left),
               viewport[1] + viewport[3] - static_cast<GLint>(bottom),
               static_cast<GLsizei>(right - left), static_cast<GLsizei>(bottom - top));
}

void SetBlend(VgGl2Backend* backend, const VgGl2Call& call) {
  const GLenum factors[4] = {
      static_cast<GLenum>(call.blendSrcColor), static_cast<GLenum>(call.blendDstColor),
      static_cast<GLenum>(call.blendSrcAlpha), static_cast<GLenum>(call.blendDstAlpha)};
  bool same = true;
  for (int i = 0; i < 4; ++i) same = same && backend->cache.blend[i] == factors[i];
  if (same) return;
  for (int i = 0; i < 4; ++i) backend->cache.blend[i] = factors[i];
  vgGl.BlendFuncSeparate(factors[0], factors[1], factors[2], factors[3]);
}

void VgGl2SetUniforms(VgGl2Backend* backend, int32_t uniformOffset, int32_t image) {
  const auto* block = reinterpret_cast<const VgGl2FragUniforms*>(
      reinterpret_cast<const uint8_t*>(backend->uniforms.Data()) + uniformOffset);
  vgGl.Uniform4fv(backend->fragLocation, kVgGl2UniformVectors, block->frag);
  const VgGl2Texture* texture = VgGl2FindTexture(backend, image);
  if (!texture) texture = VgGl2FindTexture(backend, backend->dummyTexture);
  VgGl2BindTexture(backend, texture ? texture->texture : 0);
}

void DrawFans(VgGl2Backend* backend, const VgGl2Call& call) {
  for (int32_t i = 0; i < call.pathCount; ++i) {
    const VgGl2Path& path = backend->paths[call.firstPath + i];
    if (path.fillCount > 0) vgGl.DrawArrays(GL_TRIANGLE_FAN, path.firstFill, path.fillCount);
  }
}

void DrawStrips(VgGl2Backend* backend, const VgGl2Call& call) {
  for (int32_t i = 0; i < call.pathCount; ++i) {
    const VgGl2Path& path = backend->paths[call.firstPath + i];
    if (path.strokeCount > 0) {
      vgGl.DrawArrays(GL_TRIANGLE_STRIP, path.firstStroke, path.strokeCount);
    }
  }
}

// Nonzero rule: front faces count up, back faces down; the cover quad then
// paints where the count is not 0 and clears it again.
void VgGl2DrawFill(VgGl2Backend* backend, const VgGl2Call& call) {
  vgGl.Enable(GL_STENCIL_TEST);
  SetStencilMask(backend, 0xff);
  SetStencilFunc(backend, GL_ALWAYS, 0, 0xff);
  vgGl.ColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  VgGl2SetUniforms(backend, call.uniformOffset, 0);
  vgGl.StencilOpSeparate(GL_FRONT, GL_KEEP, GL_KEEP, GL_INCR_WRAP);
  vgGl.StencilOpSeparate(GL_BACK, GL_KEEP, GL_KEEP, GL_DECR_WRAP);
  vgGl.Disable(GL_CULL_FACE);
  DrawFans(backend, call);
  vgGl.Enable(GL_CULL_FACE);
  vgGl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  VgGl2SetUniforms(backend, call.uniformOffset + backend->fragSize, call.image);
  if (backend->flags & kVgGl2Antialias) {
    // The fringe goes only outside the shape, where the count is 0.
    SetStencilFunc(backend, GL_EQUAL, 0, 0xff);
    vgGl.StencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    DrawStrips(backend, call);
  }
  SetStencilFunc(backend, GL_NOTEQUAL, 0, 0xff);
  vgGl.StencilOp(GL_ZERO, GL_ZERO, GL_ZERO);
  vgGl.DrawArrays(GL_TRIANGLE_STRIP, call.firstTriangleVertex, call.triangleVertexCount);
  vgGl.Disable(GL_STENCIL_TEST);
}

void VgGl2DrawConvexFill(VgGl2Backend* backend, const VgGl2Call& call) {
  VgGl2SetUniforms(backend, call.uniformOffset, call.image);
  DrawFans(backend, call);
  DrawStrips(backend, call);
}

void VgGl2DrawStroke(VgGl2Backend* backend, const VgGl2Call& call) {
  VgGl2SetUniforms(backend, call.uniformOffset, call.image);
  DrawStrips(backend, call);
}

void VgGl2DrawTriangles(VgGl2Backend* backend, const VgGl2Call& call) {
  VgGl2SetUniforms(backend, call.uniformOffset, call.image);
  vgGl.DrawArrays(GL_TRIANGLES, call.firstTriangleVertex, call.triangleVertexCount);
}

// Puts GL into the state every call starts from, whatever the client left.
void ResetGlState(VgGl2Backend* backend) {
  vgGl.UseProgram(backend->shader.program);
  vgGl.Enable(GL_CULL_FACE);
  vgGl.CullFace(GL_BACK);
  vgGl.FrontFace(GL_CCW);
  vgGl.Enable(GL_BLEND);
  vgGl.Disable(GL_DEPTH_TEST);
  vgGl.Disable(GL_SCISSOR_TEST);
  vgGl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  vgGl.StencilMask(kAllBits);
  vgGl.StencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  vgGl.StencilFunc(GL_ALWAYS, 0, kAllBits);
  vgGl.ActiveTexture(GL_TEXTURE0);
  vgGl.BindTexture(GL_TEXTURE_2D, 0);
  VgGl2GlCache& cache = backend->cache;
  cache.boundTexture = 0;
  cache.stencilMask = kAllBits;
  cache.stencilFunc = GL_ALWAYS;
  cache.stencilFuncRef = 0;
  cache.stencilFuncMask = kAllBits;
  for (GLenum& factor : cache.blend) factor = GL_INVALID_ENUM;
}

// A fill with coordinates far beyond what the rasteriser resolves exactly
// (about 1e10) can leave stencil counts that its cover pass misses; they
// must not decide what the fills of a later flush cover.
void ClearStencilForFills(const VgGl2Backend* backend) {
  for (int32_t i = 0; i < backend->calls.Count(); ++i) {
    if (backend->calls[i].type == kVgGl2Fill) {
      vgGl.Clear(GL_STENCIL_BUFFER_BIT);
      return;
    }
  }
}

} // namespace

void VgGl2Cancel(void* user) {
  VgGl2Backend* backend = static_cast<VgGl2Backend*>(user);
  backend->vertices.Truncate(0);
  backend->paths.Truncate(0);
  backend->calls.Truncate(0);
  backend->uniforms.Truncate(0);
}

void VgGl2Flush(void* user) {
  VgGl2Backend* backend = static_cast<VgGl2Backend*>(user);
  if (backend->calls.Count() > 0) {
    ResetGlState(backend);
    ClearStencilForFills(backend);
    vgGl.BindBuffer(GL_ARRAY_BUFFER, backend->vertexBuffer);
    vgGl.BufferData(GL_ARRAY_BUFFER,
                    static_cast<GLsizeiptr>(backend->vertices.Count()) * sizeof(VgVertex),
                    backend->vertices.Data(), GL_STREAM_DRAW);
    vgGl.EnableVertexAttribArray(0);
    vgGl.EnableVertexAttribArray(1);
    vgGl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(VgVertex), nullptr);
    vgGl.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(VgVertex),
                             reinterpret_cast<const void*>(2 * sizeof(float)));
    vgGl.Uniform1i(backend->texLocation, 0);
    vgGl.Uniform2fv(backend->viewSizeLocation, 1, backend->view);
    GLint viewport[4] = {0, 0, 0, 0};
    vgGl.GetIntegerv(GL_VIEWPORT, viewport);
    const float xScale = backend->view[0] > 0.0f ? viewport[2] / backend->view[0] : 0.0f;
    const float yScale = backend->view[1] > 0.0f ? viewport[3] / backend->view[1] : 0.0f;
    for (int32_t i = 0; i < backend->calls.Count(); ++i) {
      const VgGl2Call& call = backend->calls[i];
      SetBlend(backend, call);
      SetScissorTest(call, viewport, xScale, yScale);
      switch (call.type) {
        case kVgGl2Fill:
          VgGl2DrawFill(backend, call);
          break;
        case kVgGl2ConvexFill:
          VgGl2DrawConvexFill(backend, call);
          break;
        case kVgGl2Stroke:
          VgGl2DrawStroke(backend, call);
          break;
        case kVgGl2Triangles:
          VgGl2DrawTriangles(backend, call);
          break;
        default:
          break;
      }
    }
    vgGl.DisableVertexAttribArray(0);
    vgGl.DisableVertexAttribArray(1);
    vgGl.Disable(GL_CULL_FACE);
    vgGl.Disable(GL_SCISSOR_TEST);
    vgGl.BindBuffer(GL_ARRAY_BUFFER, 0);
    vgGl.UseProgram(0);
    VgGl2BindTexture(backend, 0);
  }
  VgGl2Cancel(backend);
}

} // namespace plugkit
