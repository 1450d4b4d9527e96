#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_expand.h"
#include "framework/graphics/vg/vg_geometry.h"
#include "framework/graphics/vg/vg_joins.h"

#include <algorithm>
#include <cmath>

namespace plugkit {

namespace {

constexpr float kPi = 3.14159265358979323846f;
// Bounds the segment count when the tolerance is tiny next to the width.
constexpr float kMaxCapSegments = 1024.0f;

// Segments of a half circle of radius w whose chords stay within tol.
int32_t CurveDivisions(float w, float tol) {
  const float da = std::acos(w / (w + tol));
  const float divs = std::ceil(kPi / da / 2.0f);
  if (!(divs >= 2.0f)) return 2;
  return static_cast<int32_t>(std::min(divs, kMaxCapSegments));
}

// Butt and square caps: d moves the cap back from p along (dx, dy); the
// fringe runs outward from it with v = 0 on its outer edge.
VgVertex* ButtCapStart(VgVertex* dst, const VgPoint& p, float dx, float dy, float w, float d,
                       float fringe, float u0, float u1) {
  const float px = p.x - dx * d;
  const float py = p.y - dy * d;
  const float dlx = dy;
  const float dly = -dx;
  dst = VgEmit(dst, px + dlx * w - dx * fringe, py + dly * w - dy * fringe, u0, 0);
  dst = VgEmit(dst, px - dlx * w - dx * fringe, py - dly * w - dy * fringe, u1, 0);
  dst = VgEmit(dst, px + dlx * w, py + dly * w, u0, 1);
  return VgEmit(dst, px - dlx * w, py - dly * w, u1, 1);
}

VgVertex* ButtCapEnd(VgVertex* dst, const VgPoint& p, float dx, float dy, float w, float d,
                     float fringe, float u0, float u1) {
  const float px = p.x + dx * d;
  const float py = p.y + dy * d;
  const float dlx = dy;
  const float dly = -dx;
  dst = VgEmit(dst, px + dlx * w, py + dly * w, u0, 1);
  dst = VgEmit(dst, px - dlx * w, py - dly * w, u1, 1);
  dst = VgEmit(dst, px + dlx * w + dx * fringe, py + dly * w + dy * fringe, u0, 0);
  return VgEmit(dst, px - dlx * w + dx * fringe, py - dly * w + dy * fringe, u1, 0);
}

VgVertex* RoundCapStart(VgVertex* dst, const VgPoint& p, float dx, float dy, float w, int32_t ncap,
                        float u0, float u1) {
  const float dlx = dy;
  const float dly = -dx;
  for (int32_t i = 0; i < ncap; ++i) {
    const float a = static_cast<float>(i) / static_cast<float>(ncap - 1) * kPi;
    const float ax = std::cos(a) * w;
    const float ay = std::sin(a) * w;
    dst = VgEmit(dst, p.x - dlx * ax - dx * ay, p.y - dly * ax - dy * ay, u0, 1);
    dst = VgEmit(dst, p.x, p.y, 0.5f, 1);
  }
  dst = VgEmit(dst, p.x + dlx * w, p.y + dly * w, u0, 1);
  return VgEmit(dst, p.x - dlx * w, p.y - dly * w, u1, 1);
}

VgVertex* RoundCapEnd(VgVertex* dst, const VgPoint& p, float dx, float dy, float w, int32_t ncap,
                      float u0, float u1) {
  const float dlx = dy;
  const float dly = -dx;
  dst = VgEmit(dst, p.x + dlx * w, p.y + dly * w, u0, 1);
  dst = VgEmit(dst, p.x - dlx * w, p.y - dly * w, u1, 1);
  for (int32_t i = 0; i < ncap; ++i) {
    const float a = static_cast<float>(i) / static_cast<float>(ncap - 1) * kPi;
    const float ax = std::cos(a) * w;
    const float ay = std::sin(a) * w;
    dst = VgEmit(dst, p.x, p.y, 0.5f, 1);
    dst = VgEmit(dst, p.x - dlx * ax + dx * ay, p.y - dly * ax + dy * ay, u0, 1);
  }
  return dst;
}

// Unit direction from a to b.
void Direction(const VgPoint& a, const VgPoint& b, float* dx, float* dy) {
  *dx = b.x - a.x;
  *dy = b.y - a.y;
  VgNormalize(dx, dy);
}

struct CapStyle {
  int32_t cap;
  float w;
  float fringe;
  int32_t ncap;
  float u0;
  float u1;
};

VgVertex* StartCap(VgVertex* dst, const VgPoint& p0, const VgPoint& p1, const CapStyle& s) {
  float dx = 0.0f;
  float dy = 0.0f;
  Direction(p0, p1, &dx, &dy);
  if (s.cap == kVgRound) return RoundCapStart(dst, p0, dx, dy, s.w, s.ncap, s.u0, s.u1);
  const float d = s.cap == kVgSquare ? s.w - s.fringe : -s.fringe * 0.5f;
  return ButtCapStart(dst, p0, dx, dy, s.w, d, s.fringe, s.u0, s.u1);
}

VgVertex* EndCap(VgVertex* dst, const VgPoint& p0, const VgPoint& p1, const CapStyle& s) {
  float dx = 0.0f;
  float dy = 0.0f;
  Direction(p0, p1, &dx, &dy);
  if (s.cap == kVgRound) return RoundCapEnd(dst, p1, dx, dy, s.w, s.ncap, s.u0, s.u1);
  const float d = s.cap == kVgSquare ? s.w - s.fringe : -s.fringe * 0.5f;
  return ButtCapEnd(dst, p1, dx, dy, s.w, d, s.fringe, s.u0, s.u1);
}

int64_t VertexNeed(const VgPath& path, int32_t lineCap, int32_t lineJoin, int32_t ncap) {
  int64_t need =
      lineJoin == kVgRound
          ? (static_cast<int64_t>(path.count) +
             static_cast<int64_t>(path.bevelCount) * (ncap + 2)) *
                2
          : (static_cast<int64_t>(path.count) + static_cast<int64_t>(path.bevelCount) * 5) * 2;
  if (path.closed)
    need += 2;
  else
    need += lineCap == kVgRound ? static_cast<int64_t>(ncap) * 4 + 6 : 14;
  return need;
}

} // namespace

bool VgExpandStroke(VgContext* ctx, float w, float fringe, int32_t lineCap, int32_t lineJoin,
                    float miterLimit) {
  VgPathCache* cache = ctx->cache;
  const int32_t ncap = CurveDivisions(w, ctx->tessTol);
  CapStyle style{lineCap, w + fringe * 0.5f, fringe, ncap, 0.0f, 1.0f};
  if (fringe <= 0.0f) style.u0 = style.u1 = 0.5f; // no antialiasing gradient
  w = style.w;
  VgCalculateJoins(ctx, w, lineJoin, miterLimit);

  int64_t need = 0;
  for (int32_t i = 0; i < cache->pathCount; ++i)
    need += VertexNeed(cache->paths[i], lineCap, lineJoin, ncap);
  if (need > INT32_MAX) return false;
  VgVertex* verts = VgAllocTempVerts(cache, static_cast<int32_t>(need));
  if (verts == nullptr) return false;

  for (int32_t i = 0; i < cache->pathCount; ++i) {
    VgPath* path = &cache->paths[i];
    const VgPoint* pts = &cache->points[path->first];
    path->fill = nullptr;
    path->fillCount = 0;
    path->stroke = verts;
    path->strokeCount = 0;
    if (path->count < 2) continue;

    const bool loop = path->closed != 0;
    const VgPoint* p0 = loop ? &pts[path->count - 1] : &pts[0];
    const VgPoint* p1 = loop ? &pts[0] : &pts[1];
    const int32_t s = loop ? 0 : 1;
    const int32_t e = loop ? path->count : path->count - 1;
    VgVertex* dst = verts;
    if (!loop) dst = StartCap(dst, *p0, *p1, style);
    for (int32_t j = s; j < e; ++j) {
      if (p1->flags & (kVgPointBevel | kVgPointInnerBevel)) {
        dst = lineJoin == kVgRound ? VgRoundJoin(dst, *p0, *p1, w, w, style.u0, style.u1, ncap)
                                   : VgBevelJoin(dst, *p0, *p1, w, w, style.u0, style.u1);
      } else {
        dst = VgEmit(dst, p1->x + p1->dmx * w, p1->y + p1->dmy * w, style.u0, 1);
        dst = VgEmit(dst, p1->x - p1->dmx * w, p1->y - p1->dmy * w, style.u1, 1);
      }
      p0 = p1++;
    }
    if (loop) {
      dst = VgEmit(dst, verts[0].x, verts[0].y, style.u0, 1);
      dst = VgEmit(dst, verts[1].x, verts[1].y, style.u1, 1);
    } else {
      dst = EndCap(dst, *p0, *p1, style);
    }
    path->strokeCount = static_cast<int32_t>(dst - verts);
    verts = dst;
  }
  return true;
}

} // namespace plugkit
