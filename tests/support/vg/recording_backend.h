#pragma once

#include "framework/graphics/vg/vg_backend.h"

#include <cstdint>
#include <map>
#include <vector>

namespace plugkit::testing {

// A renderer back end that keeps what it is given, for tests to inspect:
// drawing calls with copies of their paths and vertices, and textures with
// their pixels.
struct RecordedPath {
  std::vector<VgVertex> fill;
  std::vector<VgVertex> stroke;
  int32_t count = 0;
  int32_t closed = 0;
  int32_t winding = 0;
  int32_t convex = 0;
};

struct RecordedCall {
  enum class Kind { Fill, Stroke, Triangles };
  Kind kind = Kind::Fill;
  VgPaint paint;
  VgBlendState blend;
  VgScissorState scissor;
  float fringe = 0.0f;
  float strokeWidth = 0.0f;
  float bounds[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  std::vector<RecordedPath> paths;
  std::vector<VgVertex> triangles;
};

struct RecordedTexture {
  int32_t type = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t flags = 0;
  std::vector<uint8_t> pixels;
};

class RecordingBackend {
public:
  // A table whose user pointer is this object.
  VgBackendCallbacks Callbacks(int32_t edgeAntialias = 1);

  std::vector<RecordedCall> queued; // since the last flush or cancel
  std::vector<RecordedCall> drawn;  // moved here by flush
  std::map<int32_t, RecordedTexture> textures;
  int32_t lastTextureId = 0;
  int32_t flushes = 0;
  int32_t cancels = 0;
  float viewport[3] = {0.0f, 0.0f, 0.0f};
  bool created = false;
  bool destroyed = false;
  // Make create or create texture fail.
  bool refuseCreate = false;
  bool refuseTextures = false;
};

} // namespace plugkit::testing
