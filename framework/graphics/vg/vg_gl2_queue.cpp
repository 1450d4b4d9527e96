#include <cmath>
#include <cstring>

#include "framework/graphics/vg/vg_gl2_backend.h"
#include "framework/graphics/vg/vg_transform.h"

namespace plugkit {

namespace {

constexpr int kMinimumCalls = 128;
constexpr int kMinimumPaths = 128;
constexpr int kMinimumUniformBlocks = 128;
constexpr int kMinimumVertices = 4096;
constexpr int kCoverVertices = 4;

VgGl2Backend* Backend(void* user) { return static_cast<VgGl2Backend*>(user); }

GLenum VgGl2BlendFactor(int32_t factor) {
  switch (factor) {
    case kVgZero:
      return GL_ZERO;
    case kVgOne:
      return GL_ONE;
    case kVgSrcColor:
      return GL_SRC_COLOR;
    case kVgOneMinusSrcColor:
      return GL_ONE_MINUS_SRC_COLOR;
    case kVgDstColor:
      return GL_DST_COLOR;
    case kVgOneMinusDstColor:
      return GL_ONE_MINUS_DST_COLOR;
    case kVgSrcAlpha:
      return GL_SRC_ALPHA;
    case kVgOneMinusSrcAlpha:
      return GL_ONE_MINUS_SRC_ALPHA;
    case kVgDstAlpha:
      return GL_DST_ALPHA;
    case kVgOneMinusDstAlpha:
      return GL_ONE_MINUS_DST_ALPHA;
    case kVgSrcAlphaSaturate:
      return GL_SRC_ALPHA_SATURATE;
    default:
      return GL_INVALID_ENUM;
  }
}

// Any factor GL would reject makes the whole call source-over.
void SetBlend(VgGl2Call* call, const VgBlendState& blend) {
  const GLenum factors[4] = {VgGl2BlendFactor(blend.srcColor), VgGl2BlendFactor(blend.dstColor),
                             VgGl2BlendFactor(blend.srcAlpha), VgGl2BlendFactor(blend.dstAlpha)};
  bool valid = true;
  for (GLenum factor : factors) valid = valid && factor != GL_INVALID_ENUM;
  call->blendSrcColor = static_cast<int32_t>(valid ? factors[0] : GL_ONE);
  call->blendDstColor = static_cast<int32_t>(valid ? factors[1] : GL_ONE_MINUS_SRC_ALPHA);
  call->blendSrcAlpha = static_cast<int32_t>(valid ? factors[2] : GL_ONE);
  call->blendDstAlpha = static_cast<int32_t>(valid ? factors[3] : GL_ONE_MINUS_SRC_ALPHA);
}

// The box around a scissor, for GL's own scissor test: the fragment
// shader clips exactly, but only the scissor test keeps the rasteriser from
// shading the fragments it would clip.
void SetScissorBox(VgGl2Call* call, const VgScissorState& scissor) {
  float* box = call->scissorBox;
  if (scissor.extent[0] < -0.5f || scissor.extent[1] < -0.5f) {
    box[0] = 1.0f;
    box[2] = 0.0f;
    return;
  }
  const float* t = scissor.xform;
  const float ex = std::fabs(t[0]) * scissor.extent[0] + std::fabs(t[2]) * scissor.extent[1];
  const float ey = std::fabs(t[1]) * scissor.extent[0] + std::fabs(t[3]) * scissor.extent[1];
  box[0] = t[4] - ex;
  box[1] = t[5] - ey;
  box[2] = t[4] + ex;
  box[3] = t[5] + ey;
}

// Writes the 3x2 transform t as the three columns of a mat3, each in a vec4.
void StoreMatrix(float* columns, const float* t) {
  const float values[12] = {t[0], t[1], 0.0f, 0.0f, t[2], t[3], 0.0f, 0.0f, t[4], t[5], 1.0f, 0.0f};
  for (int i = 0; i < 12; ++i) columns[i] = values[i];
}

void StorePremultiplied(float* out, const VgColor& color) {
  out[0] = color.r * color.a;
  out[1] = color.g * color.a;
  out[2] = color.b * color.a;
  out[3] = color.a;
}

// An image stored bottom row first is sampled upside down: the paint space
// is flipped about the middle of the image's height (y -> height - y)
// before the paint transform applies.
void FlipPaintTransform(float* xform, float height) {
  const float flip[6] = {1.0f, 0.0f, 0.0f, -1.0f, 0.0f, height};
  VgTransformPremultiply(xform, flip);
}

// The fragment uniforms of one paint under one scissor.
void VgGl2ConvertPaint(VgGl2Backend* backend, VgGl2FragUniforms* block, const VgPaint& paint,
                       const VgScissorState& scissor, float width, float fringe,
                       float strokeThreshold) {
  *block = VgGl2FragUniforms{};
  float* frag = block->frag;
  StorePremultiplied(frag + kVgGl2FragInnerColour, paint.innerColor);
  StorePremultiplied(frag + kVgGl2FragOuterColour, paint.outerColor);
  if (scissor.extent[0] < -0.5f || scissor.extent[1] < -0.5f) {
    frag[kVgGl2FragScissorExtent] = 1.0f;
    frag[kVgGl2FragScissorExtent + 1] = 1.0f;
    frag[kVgGl2FragScissorScale] = 1.0f;
    frag[kVgGl2FragScissorScale + 1] = 1.0f;
  } else {
    float inverse[6];
    VgTransformInverse(inverse, scissor.xform);
    StoreMatrix(frag + kVgGl2FragScissorMatrix, inverse);
    const float* t = scissor.xform;
    frag[kVgGl2FragScissorExtent] = scissor.extent[0];
    frag[kVgGl2FragScissorExtent + 1] = scissor.extent[1];
    frag[kVgGl2FragScissorScale] = std::sqrt(t[0] * t[0] + t[2] * t[2]) / fringe;
    frag[kVgGl2FragScissorScale + 1] = std::sqrt(t[1] * t[1] + t[3] * t[3]) / fringe;
  }
  frag[kVgGl2FragExtent] = paint.extent[0];
  frag[kVgGl2FragExtent + 1] = paint.extent[1];
  frag[kVgGl2FragStrokeMultiplier] = (width * 0.5f + fringe * 0.5f) / fringe;
  frag[kVgGl2FragStrokeThreshold] = strokeThreshold;
  float xform[6];
  for (int i = 0; i < 6; ++i) xform[i] = paint.xform[i];
  if (paint.image != 0) {
    const VgGl2Texture* texture = VgGl2FindTexture(backend, paint.image);
    // An unknown image samples the transparent dummy texture.
    const int32_t type = texture ? texture->type : kVgTextureAlpha;
    const int32_t flags = texture ? texture->flags : 0;
    if (flags & kVgImageFlipY) FlipPaintTransform(xform, paint.extent[1]);
    frag[kVgGl2FragShaderType] = kVgGl2ShaderImage;
    if (type == kVgTextureRgba) {
      frag[kVgGl2FragTexelType] =
          (flags & kVgImagePremultiplied) ? kVgGl2TexelPremultiplied : kVgGl2TexelStraight;
    } else {
      frag[kVgGl2FragTexelType] = kVgGl2TexelAlpha;
    }
  } else {
    frag[kVgGl2FragShaderType] = kVgGl2ShaderGradient;
    frag[kVgGl2FragRadius] = paint.radius;
    frag[kVgGl2FragFeather] = paint.feather;
  }
  float inverse[6];
  VgTransformInverse(inverse, xform);
  StoreMatrix(frag + kVgGl2FragPaintMatrix, inverse);
}

// Room for one call with its paths, vertices and uniform blocks. On failure
// every queue keeps its old count, so nothing of the call is drawn.
struct Reservation {
  VgGl2Call* call = nullptr;
  int firstPath = 0;
  int firstVertex = 0;
  int firstBlock = 0;
};

bool Reserve(VgGl2Backend* backend, int paths, int vertices, int blocks, Reservation* out) {
  if (!backend->calls.Reserve(1, kMinimumCalls) || !backend->paths.Reserve(paths, kMinimumPaths) ||
      !backend->vertices.Reserve(vertices, kMinimumVertices) ||
      !backend->uniforms.Reserve(blocks, kMinimumUniformBlocks)) {
    return false;
  }
  out->call = &backend->calls[backend->calls.Append(1)];
  out->firstPath = backend->paths.Append(paths);
  out->firstVertex = backend->vertices.Append(vertices);
  out->firstBlock = backend->uniforms.Append(blocks);
  out->call->firstPath = out->firstPath;
  out->call->pathCount = paths;
  out->call->uniformOffset = out->firstBlock * backend->fragSize;
  return true;
}

int32_t CopyVertices(VgGl2Backend* backend, int32_t at, const VgVertex* source, int32_t count) {
  for (int32_t i = 0; i < count; ++i) backend->vertices[at + i] = source[i];
  return at + count;
}

VgGl2FragUniforms* Block(VgGl2Backend* backend, int index) {
  return &backend->uniforms[index].uniforms;
}

// What decides how a call draws, besides its uniforms and vertices.
void CopyCallKey(VgGl2Call* call, const VgGl2Call& key) {
  call->type = key.type;
  call->image = key.image;
  call->blendSrcColor = key.blendSrcColor;
  call->blendDstColor = key.blendDstColor;
  call->blendSrcAlpha = key.blendSrcAlpha;
  call->blendDstAlpha = key.blendDstAlpha;
  for (int i = 0; i < 4; ++i) call->scissorBox[i] = key.scissorBox[i];
}

// The last queued call when it draws exactly as a new call with this key and
// uniform block would: same kind, image, blend, scissor and uniforms, with its
// vertices and its one block last in their queues. A new call may then join
// it: GL draws the primitives of one draw in order, so the pixels are those
// of two calls, at the cost of one.
VgGl2Call* JoinableCall(VgGl2Backend* backend, const VgGl2Call& key,
                        const VgGl2FragUniforms& block) {
  if (backend->calls.Count() == 0) return nullptr;
  VgGl2Call& last = backend->calls[backend->calls.Count() - 1];
  if (last.type != key.type || last.image != key.image || last.blendSrcColor != key.blendSrcColor ||
      last.blendDstColor != key.blendDstColor || last.blendSrcAlpha != key.blendSrcAlpha ||
      last.blendDstAlpha != key.blendDstAlpha ||
      std::memcmp(last.scissorBox, key.scissorBox, sizeof key.scissorBox) != 0) {
    return nullptr;
  }
  const int lastBlock = backend->uniforms.Count() - 1;
  if (lastBlock < 0 || last.uniformOffset != lastBlock * backend->fragSize ||
      std::memcmp(Block(backend, lastBlock), &block, sizeof block) != 0) {
    return nullptr;
  }
  return &last;
}

// Appends a triangle strip to the strip that ends the vertex queue, joined by
// repeated vertices: the triangles between are degenerate and draw nothing,
// and the joined strip starts at an even place so its triangles keep their
// winding (and so survive face culling).
void AppendToStrip(VgGl2Backend* backend, VgGl2Path* path, const VgVertex* strip, int32_t count) {
  const VgVertex end = backend->vertices[path->firstStroke + path->strokeCount - 1];
  const int32_t joins = path->strokeCount % 2 == 0 ? 2 : 3;
  const int32_t at = backend->vertices.Append(joins + count);
  backend->vertices[at] = end;
  for (int32_t i = 1; i < joins; ++i) backend->vertices[at + i] = strip[0];
  CopyVertices(backend, at + joins, strip, count);
  path->strokeCount += joins + count;
}

// Joins a stroke to the stroke queued just before it, as one strip.
bool JoinStroke(VgGl2Backend* backend, const VgGl2Call& key, const VgGl2FragUniforms& block,
                const VgPath* paths, int32_t pathCount, int32_t vertexCount) {
  VgGl2Call* last = JoinableCall(backend, key, block);
  if (!last || last->pathCount <= 0 ||
      last->firstPath + last->pathCount != backend->paths.Count()) {
    return false;
  }
  // Each joined path brings at most three repeated vertices.
  const int64_t more = static_cast<int64_t>(vertexCount) + 3 * static_cast<int64_t>(pathCount);
  VgGl2Path* path = &backend->paths[last->firstPath + last->pathCount - 1];
  if (more > INT32_MAX || path->strokeCount <= 0 ||
      path->firstStroke + path->strokeCount != backend->vertices.Count() ||
      !backend->vertices.Reserve(static_cast<int>(more), kMinimumVertices)) {
    return false;
  }
  for (int32_t i = 0; i < pathCount; ++i) {
    if (paths[i].strokeCount > 0)
      AppendToStrip(backend, path, paths[i].stroke, paths[i].strokeCount);
  }
  return true;
}

// Joins triangles to the triangles queued just before them.
bool JoinTriangles(VgGl2Backend* backend, const VgGl2Call& key, const VgGl2FragUniforms& block,
                   const VgVertex* vertices, int32_t vertexCount) {
  VgGl2Call* last = JoinableCall(backend, key, block);
  if (!last || last->firstTriangleVertex + last->triangleVertexCount != backend->vertices.Count() ||
      !backend->vertices.Reserve(vertexCount, kMinimumVertices)) {
    return false;
  }
  CopyVertices(backend, backend->vertices.Append(vertexCount), vertices, vertexCount);
  last->triangleVertexCount += vertexCount;
  return true;
}

// Adds up the vertices a call needs; false when the count overflows.
bool CountVertices(const VgPath* paths, int32_t pathCount, bool withFill, int32_t extra,
                   int32_t* total) {
  int64_t sum = extra;
  for (int32_t i = 0; i < pathCount; ++i) {
    if (withFill) sum += paths[i].fillCount;
    sum += paths[i].strokeCount;
  }
  *total = static_cast<int32_t>(sum);
  return sum <= INT32_MAX / static_cast<int64_t>(sizeof(VgVertex));
}

} // namespace

void VgGl2RenderFill(void* user, const VgPaint* paint, VgBlendState blend,
                     const VgScissorState* scissor, float fringe, const float* bounds,
                     const VgPath* paths, int32_t pathCount) {
  VgGl2Backend* backend = Backend(user);
  if (pathCount <= 0) return;
  const bool convex = pathCount == 1 && paths[0].convex;
  const int32_t coverVertices = convex ? 0 : kCoverVertices;
  int32_t vertexCount = 0;
  if (!CountVertices(paths, pathCount, true, coverVertices, &vertexCount)) return;
  Reservation room;
  if (!Reserve(backend, pathCount, vertexCount, convex ? 1 : 2, &room)) return;
  VgGl2Call* call = room.call;
  call->type = convex ? kVgGl2ConvexFill : kVgGl2Fill;
  call->image = paint->image;
  SetBlend(call, blend);
  SetScissorBox(call, *scissor);
  int32_t at = room.firstVertex;
  for (int32_t i = 0; i < pathCount; ++i) {
    VgGl2Path& path = backend->paths[room.firstPath + i];
    if (paths[i].fillCount > 0) {
      path.firstFill = at;
      path.fillCount = paths[i].fillCount;
      at = CopyVertices(backend, at, paths[i].fill, paths[i].fillCount);
    }
    if (paths[i].strokeCount > 0) {
      path.firstStroke = at;
      path.strokeCount = paths[i].strokeCount;
      at = CopyVertices(backend, at, paths[i].stroke, paths[i].strokeCount);
    }
  }
  if (convex) {
    VgGl2ConvertPaint(backend, Block(backend, room.firstBlock), *paint, *scissor, fringe, fringe,
                      -1.0f);
    return;
  }
  call->firstTriangleVertex = at;
  call->triangleVertexCount = kCoverVertices;
  const VgVertex cover[kCoverVertices] = {{bounds[2], bounds[3], 0.5f, 1.0f},
                                          {bounds[2], bounds[1], 0.5f, 1.0f},
                                          {bounds[0], bounds[3], 0.5f, 1.0f},
                                          {bounds[0], bounds[1], 0.5f, 1.0f}};
  CopyVertices(backend, at, cover, kCoverVertices);
  VgGl2FragUniforms* stencil = Block(backend, room.firstBlock);
  stencil->frag[kVgGl2FragStrokeThreshold] = -1.0f;
  stencil->frag[kVgGl2FragShaderType] = kVgGl2ShaderStencil;
  VgGl2ConvertPaint(backend, Block(backend, room.firstBlock + 1), *paint, *scissor, fringe, fringe,
                    -1.0f);
}

void VgGl2RenderStroke(void* user, const VgPaint* paint, VgBlendState blend,
                       const VgScissorState* scissor, float fringe, float strokeWidth,
                       const VgPath* paths, int32_t pathCount) {
  VgGl2Backend* backend = Backend(user);
  if (pathCount <= 0) return;
  int32_t vertexCount = 0;
  if (!CountVertices(paths, pathCount, false, 0, &vertexCount)) return;
  VgGl2Call key{};
  key.type = kVgGl2Stroke;
  key.image = paint->image;
  SetBlend(&key, blend);
  SetScissorBox(&key, *scissor);
  VgGl2FragUniforms block;
  VgGl2ConvertPaint(backend, &block, *paint, *scissor, strokeWidth, fringe, -1.0f);
  if (JoinStroke(backend, key, block, paths, pathCount, vertexCount)) return;
  Reservation room;
  if (!Reserve(backend, pathCount, vertexCount, 1, &room)) return;
  CopyCallKey(room.call, key);
  int32_t at = room.firstVertex;
  for (int32_t i = 0; i < pathCount; ++i) {
    if (paths[i].strokeCount <= 0) continue;
    VgGl2Path& path = backend->paths[room.firstPath + i];
    path.firstStroke = at;
    path.strokeCount = paths[i].strokeCount;
    at = CopyVertices(backend, at, paths[i].stroke, paths[i].strokeCount);
  }
  *Block(backend, room.firstBlock) = block;
}

void VgGl2RenderTriangles(void* user, const VgPaint* paint, VgBlendState blend,
                          const VgScissorState* scissor, const VgVertex* vertices,
                          int32_t vertexCount, float fringe) {
  VgGl2Backend* backend = Backend(user);
  if (vertexCount <= 0) return;
  VgGl2Call key{};
  key.type = kVgGl2Triangles;
  key.image = paint->image;
  SetBlend(&key, blend);
  SetScissorBox(&key, *scissor);
  VgGl2FragUniforms block;
  VgGl2ConvertPaint(backend, &block, *paint, *scissor, 1.0f, fringe, -1.0f);
  block.frag[kVgGl2FragShaderType] = kVgGl2ShaderTriangles;
  if (JoinTriangles(backend, key, block, vertices, vertexCount)) return;
  Reservation room;
  if (!Reserve(backend, 0, vertexCount, 1, &room)) return;
  CopyCallKey(room.call, key);
  room.call->firstTriangleVertex = room.firstVertex;
  room.call->triangleVertexCount = vertexCount;
  CopyVertices(backend, room.firstVertex, vertices, vertexCount);
  *Block(backend, room.firstBlock) = block;
}

} // namespace plugkit
