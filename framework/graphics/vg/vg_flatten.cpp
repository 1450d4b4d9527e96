#include "framework/graphics/vg/vg_flatten.h"

#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_geometry.h"

#include <cmath>

namespace plugkit {

namespace {

constexpr int32_t kMaxBezierLevel = 10;

// Twice the signed area, positive for a path that runs counter-clockwise on
// a y-down screen (the order a rectangle is appended in).
float PolygonArea(const VgPoint* pts, int32_t count) {
  float area = 0.0f;
  for (int32_t i = 2; i < count; ++i) {
    const VgPoint& a = pts[0];
    const VgPoint& b = pts[i - 1];
    const VgPoint& c = pts[i];
    area += (c.x - a.x) * (b.y - a.y) - (b.x - a.x) * (c.y - a.y);
  }
  return area * 0.5f;
}

void ReversePoints(VgPoint* pts, int32_t count) {
  for (int32_t i = 0, j = count - 1; i < j; ++i, --j) {
    const VgPoint tmp = pts[i];
    pts[i] = pts[j];
    pts[j] = tmp;
  }
}

void Walk(VgContext* ctx) {
  VgPathCache* cache = ctx->cache;
  const float* cmd = ctx->commands;
  int32_t i = 0;
  while (i < ctx->commandCount) {
    switch (static_cast<int32_t>(cmd[i])) {
      case kVgMoveTo:
        if (VgAddPath(cache))
          VgAddPoint(cache, cmd[i + 1], cmd[i + 2], kVgPointCorner, ctx->distTol);
        i += 3;
        break;
      case kVgLineTo:
        VgAddPoint(cache, cmd[i + 1], cmd[i + 2], kVgPointCorner, ctx->distTol);
        i += 3;
        break;
      case kVgBezierTo:
        if (cache->pathCount > 0 && cache->paths[cache->pathCount - 1].count > 0) {
          const VgPoint& last = cache->points[cache->pointCount - 1];
          VgTessellateBezier(ctx, last.x, last.y, cmd[i + 1], cmd[i + 2], cmd[i + 3], cmd[i + 4],
                             cmd[i + 5], cmd[i + 6], 0, kVgPointCorner);
        }
        i += 7;
        break;
      case kVgClose:
        if (cache->pathCount > 0) cache->paths[cache->pathCount - 1].closed = 1;
        i += 1;
        break;
      default: // winding
        if (cache->pathCount > 0)
          cache->paths[cache->pathCount - 1].winding = static_cast<int32_t>(cmd[i + 1]);
        i += 2;
        break;
    }
  }
}

} // namespace

void VgTessellateBezier(VgContext* ctx, float x1, float y1, float x2, float y2, float x3, float y3,
                        float x4, float y4, int32_t level, uint8_t type) {
  if (level > kMaxBezierLevel) return;
  const float dx = x4 - x1;
  const float dy = y4 - y1;
  const float d2 = std::fabs((x2 - x4) * dy - (y2 - y4) * dx);
  const float d3 = std::fabs((x3 - x4) * dy - (y3 - y4) * dx);
  if ((d2 + d3) * (d2 + d3) < ctx->tessTol * (dx * dx + dy * dy)) {
    VgAddPoint(ctx->cache, x4, y4, type, ctx->distTol);
    return;
  }
  const float x12 = (x1 + x2) * 0.5f;
  const float y12 = (y1 + y2) * 0.5f;
  const float x23 = (x2 + x3) * 0.5f;
  const float y23 = (y2 + y3) * 0.5f;
  const float x34 = (x3 + x4) * 0.5f;
  const float y34 = (y3 + y4) * 0.5f;
  const float x123 = (x12 + x23) * 0.5f;
  const float y123 = (y12 + y23) * 0.5f;
  const float x234 = (x23 + x34) * 0.5f;
  const float y234 = (y23 + y34) * 0.5f;
  const float x1234 = (x123 + x234) * 0.5f;
  const float y1234 = (y123 + y234) * 0.5f;
  VgTessellateBezier(ctx, x1, y1, x12, y12, x123, y123, x1234, y1234, level + 1, 0);
  VgTessellateBezier(ctx, x1234, y1234, x234, y234, x34, y34, x4, y4, level + 1, type);
}

void VgFlattenPaths(VgContext* ctx) {
  VgPathCache* cache = ctx->cache;
  if (cache->pathCount > 0) return;
  Walk(ctx);

  cache->bounds[0] = cache->bounds[1] = 1e6f;
  cache->bounds[2] = cache->bounds[3] = -1e6f;
  for (int32_t j = 0; j < cache->pathCount; ++j) {
    VgPath* path = &cache->paths[j];
    VgPoint* pts = &cache->points[path->first];
    if (path->count > 1 && VgPointsNear(pts[path->count - 1], pts[0], ctx->distTol)) {
      --path->count;
      path->closed = 1;
    }
    if (path->count > 2) {
      const float area = PolygonArea(pts, path->count);
      if ((path->winding == kVgCcw && area < 0.0f) || (path->winding == kVgCw && area > 0.0f))
        ReversePoints(pts, path->count);
    }
    for (int32_t i = 0; i < path->count; ++i) {
      VgPoint* p0 = &pts[i];
      const VgPoint* p1 = &pts[i + 1 < path->count ? i + 1 : 0];
      p0->dx = p1->x - p0->x;
      p0->dy = p1->y - p0->y;
      p0->len = VgNormalize(&p0->dx, &p0->dy);
      cache->bounds[0] = std::fmin(cache->bounds[0], p0->x);
      cache->bounds[1] = std::fmin(cache->bounds[1], p0->y);
      cache->bounds[2] = std::fmax(cache->bounds[2], p0->x);
      cache->bounds[3] = std::fmax(cache->bounds[3], p0->y);
    }
  }
}

} // namespace plugkit
