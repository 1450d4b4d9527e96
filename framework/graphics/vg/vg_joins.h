#pragma once

#include "framework/graphics/vg/vg_backend.h"
#include "framework/graphics/vg/vg_path_cache.h"

#include <cstdint>

namespace plugkit {

struct VgContext;

// Works out, for every point of the flattened paths, the extrusion vector
// of its join and whether it turns left or needs a bevel; w is the half
// width the outline is pushed out by. Marks paths that only turn left convex.
void VgCalculateJoins(VgContext* ctx, float w, int32_t lineJoin, float miterLimit);

// Join vertices at p1 (coming from p0) for a strip whose left side lies lw
// and right side rw away from the path, with texture u values lu and ru.
VgVertex* VgBevelJoin(VgVertex* dst, const VgPoint& p0, const VgPoint& p1, float lw, float rw,
                      float lu, float ru);
VgVertex* VgRoundJoin(VgVertex* dst, const VgPoint& p0, const VgPoint& p1, float lw, float rw,
                      float lu, float ru, int32_t ncap);

} // namespace plugkit
