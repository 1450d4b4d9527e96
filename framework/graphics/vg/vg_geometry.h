#pragma once

#include "framework/graphics/vg/vg_backend.h"
#include "framework/graphics/vg/vg_path_cache.h"

#include <cmath>

namespace plugkit {

// Scales (x, y) to unit length unless it is shorter than 1e-6; returns the
// length it had.
inline float VgNormalize(float* x, float* y) {
  const float d = std::sqrt(*x * *x + *y * *y);
  if (d > 1e-6f) {
    const float id = 1.0f / d;
    *x *= id;
    *y *= id;
  }
  return d;
}

inline bool VgPointsNear(const VgPoint& a, const VgPoint& b, float tol) {
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  return dx * dx + dy * dy < tol * tol;
}

inline VgVertex* VgEmit(VgVertex* dst, float x, float y, float u, float v) {
  dst->x = x;
  dst->y = y;
  dst->u = u;
  dst->v = v;
  return dst + 1;
}

} // namespace plugkit
