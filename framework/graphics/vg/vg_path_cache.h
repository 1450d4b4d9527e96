#pragma once

#include "framework/graphics/vg/vg_backend.h"

#include <cstdint>

namespace plugkit {

enum VgPointFlags : uint8_t {
  kVgPointCorner = 1,
  kVgPointLeft = 2, // the path turns left here
  kVgPointBevel = 4,
  kVgPointInnerBevel = 8,
};

struct VgPoint {
  float x = 0.0f;
  float y = 0.0f;
  float dx = 0.0f; // unit direction to the next point
  float dy = 0.0f;
  float len = 0.0f; // distance to the next point
  float dmx = 0.0f; // extrusion vector of the join
  float dmy = 0.0f;
  uint8_t flags = 0;
};

// The flattened form of the current path and the vertices expanded from it.
// Arrays grow and are reused; nothing shrinks until the cache is deleted.
struct VgPathCache {
  VgPoint* points = nullptr;
  int32_t pointCount = 0;
  int32_t pointCapacity = 0;
  VgPath* paths = nullptr;
  int32_t pathCount = 0;
  int32_t pathCapacity = 0;
  VgVertex* vertices = nullptr;
  int32_t vertexCount = 0;
  int32_t vertexCapacity = 0;
  float bounds[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

VgPathCache* VgPathCacheCreate();
void VgPathCacheDelete(VgPathCache* cache);
// Starts a new sub-path; false when the path array cannot grow.
bool VgAddPath(VgPathCache* cache);
// Appends a point to the last sub-path, or merges it into the previous point
// when closer than the distance tolerance.
void VgAddPoint(VgPathCache* cache, float x, float y, uint8_t flags, float distanceTolerance);
// A vertex buffer of at least count vertices, or null when it cannot grow.
VgVertex* VgAllocTempVerts(VgPathCache* cache, int32_t count);

} // namespace plugkit
