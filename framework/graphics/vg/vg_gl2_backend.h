#pragma once

#include <cstdint>

#include "framework/graphics/vg/vg_backend.h"
#include "framework/graphics/vg/vg_gl2_array.h"
#include "framework/graphics/vg/vg_gl_functions.h"

namespace plugkit {

// The renderer's OpenGL 2 back end. During a frame it only queues calls with
// their vertices and fragment uniforms; flush uploads every vertex at once
// and replays the calls. Renderer images are GL textures kept in a table
// under ids of the back end's own.

enum VgGl2Flags : int32_t {
  kVgGl2Antialias = 1, // the edge-antialiasing shader and the fringe pass of fills
};

enum VgGl2CallType : int32_t {
  kVgGl2Fill = 1,       // stencil then cover
  kVgGl2ConvexFill = 2, // one convex path, drawn directly
  kVgGl2Stroke = 3,
  kVgGl2Triangles = 4,
};

// frag[10].w of the fragment uniforms.
enum VgGl2ShaderType : int32_t {
  kVgGl2ShaderGradient = 0,
  kVgGl2ShaderImage = 1,
  kVgGl2ShaderStencil = 2,
  kVgGl2ShaderTriangles = 3,
};

// frag[10].z of the fragment uniforms.
enum VgGl2TexelType : int32_t {
  kVgGl2TexelPremultiplied = 0,
  kVgGl2TexelStraight = 1, // premultiplied by the shader
  kVgGl2TexelAlpha = 2,    // one channel spread to all four
};

struct VgGl2Texture {
  int32_t id; // 0 = free slot
  GLuint texture;
  int32_t width;
  int32_t height;
  int32_t type;  // VgTextureType
  int32_t flags; // VgImageFlags
};

struct VgGl2Call {
  int32_t type; // VgGl2CallType
  int32_t image;
  int32_t firstPath;
  int32_t pathCount;
  int32_t firstTriangleVertex;
  int32_t triangleVertexCount;
  int32_t uniformOffset; // bytes into the uniform blocks
  int32_t blendSrcColor; // GL blend factors
  int32_t blendDstColor;
  int32_t blendSrcAlpha;
  int32_t blendDstAlpha;
  // Frame-unit box around the call's scissor (min x, min y, max x, max y);
  // min x above max x without a scissor.
  float scissorBox[4];
};

struct VgGl2Path {
  int32_t firstFill;
  int32_t fillCount;
  int32_t firstStroke;
  int32_t strokeCount;
};

// Eleven vec4, uploaded as the uniform array "frag". The matrices are the
// inverse transforms as three columns (a, b, 0), (c, d, 0), (e, f, 1);
// colours are premultiplied. Float offsets into the array:
enum VgGl2FragField : int {
  kVgGl2FragScissorMatrix = 0, // vec4 0-2
  kVgGl2FragPaintMatrix = 12,  // vec4 3-5
  kVgGl2FragInnerColour = 24,  // vec4 6
  kVgGl2FragOuterColour = 28,  // vec4 7
  kVgGl2FragScissorExtent = 32,
  kVgGl2FragScissorScale = 34,
  kVgGl2FragExtent = 36,
  kVgGl2FragRadius = 38,
  kVgGl2FragFeather = 39,
  kVgGl2FragStrokeMultiplier = 40,
  kVgGl2FragStrokeThreshold = 41,
  kVgGl2FragTexelType = 42,
  kVgGl2FragShaderType = 43,
};
constexpr int kVgGl2UniformVectors = 11;
struct VgGl2FragUniforms {
  float frag[kVgGl2UniformVectors * 4];
};

// One queued uniform block; the stride between blocks is 180 bytes.
struct VgGl2UniformBlock {
  VgGl2FragUniforms uniforms;
  float padding;
};
constexpr int kVgGl2FragStride = 180;
static_assert(sizeof(VgGl2UniformBlock) == kVgGl2FragStride, "uniform block stride");

struct VgGl2Shader {
  GLuint program;
  GLuint vertex;
  GLuint fragment;
};

// The GL state the back end last set, so redundant calls are skipped.
struct VgGl2GlCache {
  GLuint boundTexture;
  GLuint stencilMask;
  GLenum stencilFunc;
  GLint stencilFuncRef;
  GLuint stencilFuncMask;
  GLenum blend[4]; // GL_INVALID_ENUM: unknown
};

// Shader, textures, vertex buffer and queued calls of one renderer context, which owns it.
struct VgGl2Backend {
  VgGl2Shader shader{};
  GLint viewSizeLocation = 0;
  GLint texLocation = 0;
  GLint fragLocation = 0;
  VgGl2Array<VgGl2Texture> textures;
  int32_t textureIdCounter = 0; // the last id given; ids are never reused
  float view[2] = {0.0f, 0.0f};
  GLuint vertexBuffer = 0;
  int32_t fragSize = 0;
  int32_t flags = 0; // VgGl2Flags
  VgGl2Array<VgGl2Call> calls;
  VgGl2Array<VgGl2Path> paths;
  VgGl2Array<VgVertex> vertices;
  VgGl2Array<VgGl2UniformBlock> uniforms;
  int32_t dummyTexture = 0;
  VgGl2GlCache cache{};
};

// The back end's operations, in the order of VgBackendCallbacks; `user` is
// the VgGl2Backend.
int32_t VgGl2RenderCreate(void* user);
int32_t VgGl2CreateTexture(void* user, int32_t type, int32_t width, int32_t height,
                           int32_t imageFlags, const uint8_t* data);
int32_t VgGl2DeleteTexture(void* user, int32_t image);
int32_t VgGl2UpdateTexture(void* user, int32_t image, int32_t x, int32_t y, int32_t width,
                           int32_t height, const uint8_t* data);
int32_t VgGl2GetTextureSize(void* user, int32_t image, int32_t* width, int32_t* height);
void VgGl2Viewport(void* user, float width, float height, float devicePixelRatio);
void VgGl2Cancel(void* user);
void VgGl2Flush(void* user);
void VgGl2RenderFill(void* user, const VgPaint* paint, VgBlendState blend,
                     const VgScissorState* scissor, float fringe, const float* bounds,
                     const VgPath* paths, int32_t pathCount);
void VgGl2RenderStroke(void* user, const VgPaint* paint, VgBlendState blend,
                       const VgScissorState* scissor, float fringe, float strokeWidth,
                       const VgPath* paths, int32_t pathCount);
void VgGl2RenderTriangles(void* user, const VgPaint* paint, VgBlendState blend,
                          const VgScissorState* scissor, const VgVertex* vertices,
                          int32_t vertexCount, float fringe);
// Frees the back end; null is accepted.
void VgGl2RenderDelete(void* user);

// The operation table for a back end made with new (std::nothrow)
// VgGl2Backend{}; the renderer owns the back end from then on.
VgBackendCallbacks VgGl2Callbacks(VgGl2Backend* backend);

// The texture record of an image, null when the id is unknown.
VgGl2Texture* VgGl2FindTexture(VgGl2Backend* backend, int32_t image);

// Binds a texture unless it is already bound.
void VgGl2BindTexture(VgGl2Backend* backend, GLuint texture);

} // namespace plugkit
