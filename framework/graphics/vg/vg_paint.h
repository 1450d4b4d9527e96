#pragma once

#include "framework/graphics/vg/vg_backend.h"

#include <cstdint>

namespace plugkit {

// Paint constructors, in the coordinates the caller draws in: callers
// multiply gradient and image paints by the state's transform before using
// them; colour paints are not transformed.

VgPaint VgFillColor(const VgColor& color);
// From inner colour at (sx, sy) to outer colour at (ex, ey).
VgPaint VgLinearGradient(float sx, float sy, float ex, float ey, const VgColor& inner,
                         const VgColor& outer);
// Inner colour up to radius inr from the centre, outer colour from outr.
VgPaint VgRadialGradient(float cx, float cy, float inr, float outr, const VgColor& inner,
                         const VgColor& outer);
// A rounded rectangle (corner radius r) of inner colour blurred by f into
// the outer colour; used for shadows.
VgPaint VgBoxGradient(float x, float y, float w, float h, float r, float f, const VgColor& inner,
                      const VgColor& outer);
// The image with its top-left corner at (ox, oy), drawn ex by ey large and
// rotated by angle (radians) about that corner.
VgPaint VgImagePattern(float ox, float oy, float ex, float ey, float angle, int32_t image,
                       float alpha);

} // namespace plugkit
