#pragma once

#include <cstdint>

namespace plugkit {

// Records the renderer hands to its back end, and the table of back-end
// operations. The back end only reads them; the vertex and path storage
// belongs to the renderer and stays valid until the next fill, stroke or
// text call.

enum VgBlendFactor : int32_t {
  kVgZero = 1,
  kVgOne = 2,
  kVgSrcColor = 4,
  kVgOneMinusSrcColor = 8,
  kVgDstColor = 16,
  kVgOneMinusDstColor = 32,
  kVgSrcAlpha = 64,
  kVgOneMinusSrcAlpha = 128,
  kVgDstAlpha = 256,
  kVgOneMinusDstAlpha = 512,
  kVgSrcAlphaSaturate = 1024,
};

enum VgTextureType : int32_t {
  kVgTextureAlpha = 1, // one byte a pixel
  kVgTextureRgba = 2,  // four bytes a pixel
};

enum VgImageFlags : int32_t {
  kVgImageGenerateMipmaps = 1,
  kVgImageRepeatX = 2,
  kVgImageRepeatY = 4,
  kVgImageFlipY = 8,
  kVgImagePremultiplied = 16,
  kVgImageNearest = 32,
  // The back end forgets the image but leaves the texture alive.
  kVgImageDoNotDelete = 0x10000,
};

// Path orientation; also the direction of an arc.
enum VgWinding : int32_t {
  kVgCcw = 1, // counter-clockwise: solid
  kVgCw = 2,  // clockwise: hole
  kVgSolid = kVgCcw,
  kVgHole = kVgCw,
};

struct VgColor {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 0.0f;
};

// A colour, gradient or image paint. The transform maps paint space to
// frame space: x' = t0 x + t2 y + t4, y' = t1 x + t3 y + t5.
struct VgPaint {
  float xform[6] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
  float extent[2] = {0.0f, 0.0f};
  float radius = 0.0f;
  float feather = 1.0f;
  VgColor innerColor;
  VgColor outerColor;
  int32_t image = 0; // 0 = none
};

// A rotated rectangle centred on the transform's origin; a half extent of
// -1 means no scissor. (VgScissor names the renderer call that sets it.)
struct VgScissorState {
  float xform[6] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  float extent[2] = {-1.0f, -1.0f};
};

// Four VgBlendFactor values; the default is source-over.
struct VgBlendState {
  int32_t srcColor = kVgOne;
  int32_t dstColor = kVgOneMinusSrcAlpha;
  int32_t srcAlpha = kVgOne;
  int32_t dstAlpha = kVgOneMinusSrcAlpha;
};

// Position and texture coordinate; 16 bytes. For fills and strokes u runs
// across the antialiasing fringe (0 and 1 at the outer edges, 0.5 solid)
// and v is 0 only on the pushed-out ends of butt and square caps.
struct VgVertex {
  float x = 0.0f;
  float y = 0.0f;
  float u = 0.0f;
  float v = 0.0f;
};

// One flattened sub-path with its expanded vertices: a triangle fan for the
// interior (fill) and a triangle strip for the fringe or the stroke.
struct VgPath {
  int32_t first = 0; // index of the first point in the path cache
  int32_t count = 0; // number of points
  uint8_t closed = 0;
  int32_t bevelCount = 0;
  VgVertex* fill = nullptr;
  int32_t fillCount = 0;
  VgVertex* stroke = nullptr;
  int32_t strokeCount = 0;
  int32_t winding = kVgCcw;
  int32_t convex = 0;
};

// The back end's operations, each given the user pointer first. During a
// frame the drawing operations only queue; flush draws the queue in order.
struct VgBackendCallbacks {
  void* user = nullptr;
  // Nonzero: fills and strokes get an antialiasing fringe.
  int32_t edgeAntialias = 0;
  // Nonzero on success.
  int32_t (*create)(void* user) = nullptr;
  // Returns the new image id, 0 on failure. data may be null.
  int32_t (*createTexture)(void* user, int32_t type, int32_t width, int32_t height,
                           int32_t imageFlags, const uint8_t* data) = nullptr;
  int32_t (*deleteTexture)(void* user, int32_t image) = nullptr;
  // data holds the whole image; the rectangle is copied out of it.
  int32_t (*updateTexture)(void* user, int32_t image, int32_t x, int32_t y, int32_t width,
                           int32_t height, const uint8_t* data) = nullptr;
  // 0 when the image is unknown.
  int32_t (*getTextureSize)(void* user, int32_t image, int32_t* width, int32_t* height) = nullptr;
  void (*viewport)(void* user, float width, float height, float devicePixelRatio) = nullptr;
  // Drops everything queued.
  void (*cancel)(void* user) = nullptr;
  // Draws everything queued.
  void (*flush)(void* user) = nullptr;
  // bounds: min x, min y, max x, max y of the flattened paths.
  void (*fill)(void* user, const VgPaint* paint, VgBlendState blend, const VgScissorState* scissor,
               float fringe, const float* bounds, const VgPath* paths, int32_t pathCount) = nullptr;
  void (*stroke)(void* user, const VgPaint* paint, VgBlendState blend,
                 const VgScissorState* scissor, float fringe, float strokeWidth,
                 const VgPath* paths, int32_t pathCount) = nullptr;
  void (*triangles)(void* user, const VgPaint* paint, VgBlendState blend,
                    const VgScissorState* scissor, const VgVertex* vertices, int32_t vertexCount,
                    float fringe) = nullptr;
  // Frees the back end.
  void (*destroy)(void* user) = nullptr;
};

} // namespace plugkit
