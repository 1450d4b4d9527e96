#include "framework/graphics/vg/vg_joins.h"

#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_geometry.h"
#include "framework/graphics/vg/vg_state.h"

#include <algorithm>
#include <cmath>

namespace plugkit {

namespace {

constexpr float kPi = 3.14159265358979323846f;

// What both kinds of join start from: the left normals of the incoming and
// outgoing segments, and the two points the join's inner side uses (the left
// side on a left turn). Those are one per segment when the segments are too
// short for the mitred point, else the mitred point twice.
struct JoinStart {
  float dlx0;
  float dly0;
  float dlx1;
  float dly1;
  float x0;
  float y0;
  float x1;
  float y1;
};

JoinStart StartJoin(const VgPoint& p0, const VgPoint& p1, float lw, float rw) {
  JoinStart start{p0.dy, -p0.dx, p1.dy, -p1.dx, 0.0f, 0.0f, 0.0f, 0.0f};
  const float w = (p1.flags & kVgPointLeft) ? lw : -rw;
  if (p1.flags & kVgPointInnerBevel) {
    start.x0 = p1.x + p0.dy * w;
    start.y0 = p1.y - p0.dx * w;
    start.x1 = p1.x + p1.dy * w;
    start.y1 = p1.y - p1.dx * w;
  } else {
    start.x0 = p1.x + p1.dmx * w;
    start.y0 = p1.y + p1.dmy * w;
    start.x1 = start.x0;
    start.y1 = start.y0;
  }
  return start;
}

// Whether the path goes round once: the turns of a star drawn as one path
// are all left turns too, but add up to two revolutions or more.
bool TurnsOnce(const VgPoint* pts, int32_t count) {
  float turning = 0.0f;
  const VgPoint* p0 = &pts[count - 1];
  for (int32_t j = 0; j < count; ++j) {
    const VgPoint* p1 = &pts[j];
    turning += std::atan2(p1->dx * p0->dy - p0->dx * p1->dy, p0->dx * p1->dx + p0->dy * p1->dy);
    p0 = p1;
  }
  return std::fabs(turning) < 3.0f * kPi;
}

} // namespace

void VgCalculateJoins(VgContext* ctx, float w, int32_t lineJoin, float miterLimit) {
  VgPathCache* cache = ctx->cache;
  const float iw = w > 0.0f ? 1.0f / w : 0.0f;
  for (int32_t i = 0; i < cache->pathCount; ++i) {
    VgPath* path = &cache->paths[i];
    VgPoint* pts = &cache->points[path->first];
    path->bevelCount = 0;
    if (path->count == 0) {
      path->convex = 0;
      continue;
    }
    const VgPoint* p0 = &pts[path->count - 1];
    int32_t leftTurns = 0;
    for (int32_t j = 0; j < path->count; ++j) {
      VgPoint* p1 = &pts[j];
      const float dlx0 = p0->dy;
      const float dly0 = -p0->dx;
      const float dlx1 = p1->dy;
      const float dly1 = -p1->dx;
      p1->dmx = (dlx0 + dlx1) * 0.5f;
      p1->dmy = (dly0 + dly1) * 0.5f;
      const float dmr2 = p1->dmx * p1->dmx + p1->dmy * p1->dmy;
      if (dmr2 > 1e-6f) {
        const float scale = std::min(1.0f / dmr2, 600.0f);
        p1->dmx *= scale;
        p1->dmy *= scale;
      }
      p1->flags = (p1->flags & kVgPointCorner) ? kVgPointCorner : 0;
      const float cross = p1->dx * p0->dy - p0->dx * p1->dy;
      if (cross > 0.0f) {
        ++leftTurns;
        p1->flags |= kVgPointLeft;
      }
      const float limit = std::max(1.01f, std::min(p0->len, p1->len) * iw);
      if (dmr2 * limit * limit < 1.0f) p1->flags |= kVgPointInnerBevel;
      if ((p1->flags & kVgPointCorner) &&
          (dmr2 * miterLimit * miterLimit < 1.0f || lineJoin == kVgBevel || lineJoin == kVgRound))
        p1->flags |= kVgPointBevel;
      if (p1->flags & (kVgPointBevel | kVgPointInnerBevel)) ++path->bevelCount;
      p0 = p1;
    }
    path->convex = leftTurns == path->count && TurnsOnce(pts, path->count) ? 1 : 0;
  }
}

VgVertex* VgBevelJoin(VgVertex* dst, const VgPoint& p0, const VgPoint& p1, float lw, float rw,
                      float lu, float ru) {
  const auto [dlx0, dly0, dlx1, dly1, x0, y0, x1, y1] = StartJoin(p0, p1, lw, rw);
  if (p1.flags & kVgPointLeft) {
    dst = VgEmit(dst, x0, y0, lu, 1);
    dst = VgEmit(dst, p1.x - dlx0 * rw, p1.y - dly0 * rw, ru, 1);
    if (p1.flags & kVgPointBevel) {
      dst = VgEmit(dst, x0, y0, lu, 1);
      dst = VgEmit(dst, p1.x - dlx0 * rw, p1.y - dly0 * rw, ru, 1);
      dst = VgEmit(dst, x1, y1, lu, 1);
      dst = VgEmit(dst, p1.x - dlx1 * rw, p1.y - dly1 * rw, ru, 1);
    } else {
      const float rx = p1.x - p1.dmx * rw;
      const float ry = p1.y - p1.dmy * rw;
      dst = VgEmit(dst, p1.x, p1.y, 0.5f, 1);
      dst = VgEmit(dst, p1.x - dlx0 * rw, p1.y - dly0 * rw, ru, 1);
      dst = VgEmit(dst, rx, ry, ru, 1);
      dst = VgEmit(dst, rx, ry, ru, 1);
      dst = VgEmit(dst, p1.x, p1.y, 0.5f, 1);
      dst = VgEmit(dst, p1.x - dlx1 * rw, p1.y - dly1 * rw, ru, 1);
    }
    dst = VgEmit(dst, x1, y1, lu, 1);
    dst = VgEmit(dst, p1.x - dlx1 * rw, p1.y - dly1 * rw, ru, 1);
  } else {
    dst = VgEmit(dst, p1.x + dlx0 * lw, p1.y + dly0 * lw, lu, 1);
    dst = VgEmit(dst, x0, y0, ru, 1);
    if (p1.flags & kVgPointBevel) {
      dst = VgEmit(dst, p1.x + dlx0 * lw, p1.y + dly0 * lw, lu, 1);
      dst = VgEmit(dst, x0, y0, ru, 1);
      dst = VgEmit(dst, p1.x + dlx1 * lw, p1.y + dly1 * lw, lu, 1);
      dst = VgEmit(dst, x1, y1, ru, 1);
    } else {
      const float lx = p1.x + p1.dmx * lw;
      const float ly = p1.y + p1.dmy * lw;
      dst = VgEmit(dst, p1.x + dlx0 * lw, p1.y + dly0 * lw, lu, 1);
      dst = VgEmit(dst, p1.x, p1.y, 0.5f, 1);
      dst = VgEmit(dst, lx, ly, lu, 1);
      dst = VgEmit(dst, lx, ly, lu, 1);
      dst = VgEmit(dst, p1.x + dlx1 * lw, p1.y + dly1 * lw, lu, 1);
      dst = VgEmit(dst, p1.x, p1.y, 0.5f, 1);
    }
    dst = VgEmit(dst, p1.x + dlx1 * lw, p1.y + dly1 * lw, lu, 1);
    dst = VgEmit(dst, x1, y1, ru, 1);
  }
  return dst;
}

VgVertex* VgRoundJoin(VgVertex* dst, const VgPoint& p0, const VgPoint& p1, float lw, float rw,
                      float lu, float ru, int32_t ncap) {
  const auto [dlx0, dly0, dlx1, dly1, x0, y0, x1, y1] = StartJoin(p0, p1, lw, rw);
  if (p1.flags & kVgPointLeft) {
    const float a0 = std::atan2(-dly0, -dlx0);
    float a1 = std::atan2(-dly1, -dlx1);
    if (a1 > a0) a1 -= kPi * 2.0f;
    const int32_t n = std::clamp(static_cast<int32_t>(std::ceil((a0 - a1) / kPi * ncap)), 2, ncap);
    dst = VgEmit(dst, x0, y0, lu, 1);
    dst = VgEmit(dst, p1.x - dlx0 * rw, p1.y - dly0 * rw, ru, 1);
    for (int32_t i = 0; i < n; ++i) {
      const float u = static_cast<float>(i) / static_cast<float>(n - 1);
      const float a = a0 + u * (a1 - a0);
      dst = VgEmit(dst, p1.x, p1.y, 0.5f, 1);
      dst = VgEmit(dst, p1.x + std::cos(a) * rw, p1.y + std::sin(a) * rw, ru, 1);
    }
    dst = VgEmit(dst, x1, y1, lu, 1);
    dst = VgEmit(dst, p1.x - dlx1 * rw, p1.y - dly1 * rw, ru, 1);
  } else {
    const float a0 = std::atan2(dly0, dlx0);
    float a1 = std::atan2(dly1, dlx1);
    if (a1 < a0) a1 += kPi * 2.0f;
    const int32_t n = std::clamp(static_cast<int32_t>(std::ceil((a1 - a0) / kPi * ncap)), 2, ncap);
    dst = VgEmit(dst, p1.x + dlx0 * lw, p1.y + dly0 * lw, lu, 1);
    dst = VgEmit(dst, x0, y0, ru, 1);
    for (int32_t i = 0; i < n; ++i) {
      const float u = static_cast<float>(i) / static_cast<float>(n - 1);
      const float a = a0 + u * (a1 - a0);
      dst = VgEmit(dst, p1.x + std::cos(a) * lw, p1.y + std::sin(a) * lw, lu, 1);
      dst = VgEmit(dst, p1.x, p1.y, 0.5f, 1);
    }
    dst = VgEmit(dst, p1.x + dlx1 * lw, p1.y + dly1 * lw, lu, 1);
    dst = VgEmit(dst, x1, y1, ru, 1);
  }
  return dst;
}

} // namespace plugkit
