#pragma once

#include <cstdint>

namespace plugkit {

struct VgContext;

// Expand the flattened paths into the vertices the back end draws. Both
// return false, leaving nothing to draw, when the vertex buffer cannot grow.
// Fill: w is the fringe width (0 for no antialiasing). Paths of fewer than
// three points enclose nothing and get no vertices.
bool VgExpandFill(VgContext* ctx, float w, int32_t lineJoin, float miterLimit);
// Stroke: w is half the stroke width, fringe the antialiasing width (or 0).
// Paths of a single point have no direction and get no vertices.
bool VgExpandStroke(VgContext* ctx, float w, float fringe, int32_t lineCap, int32_t lineJoin,
                    float miterLimit);

} // namespace plugkit
