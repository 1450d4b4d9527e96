#pragma once

#include <cstdint>

namespace plugkit {

struct VgContext;

// Turns the command buffer into sub-paths of points in the path cache, with
// each point's direction and distance to the next one. Does nothing when the
// cache already holds paths, so a fill and a stroke of one path share it.
void VgFlattenPaths(VgContext* ctx);
// Adds points along a cubic curve from (x1, y1) until each piece is within
// the tessellation tolerance; the end point gets the flags `type`.
void VgTessellateBezier(VgContext* ctx, float x1, float y1, float x2, float y2, float x3, float y3,
                        float x4, float y4, int32_t level, uint8_t type);

} // namespace plugkit
