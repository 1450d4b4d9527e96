#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_expand.h"
#include "framework/graphics/vg/vg_geometry.h"
#include "framework/graphics/vg/vg_joins.h"

namespace plugkit {

namespace {

constexpr int32_t kMinFillPoints = 3;

// The interior, pulled in by woff so that it meets the middle of the fringe.
VgVertex* FillVertices(VgVertex* dst, const VgPoint* pts, int32_t count, float woff) {
  if (woff <= 0.0f) {
    for (int32_t j = 0; j < count; ++j) dst = VgEmit(dst, pts[j].x, pts[j].y, 0.5f, 1);
    return dst;
  }
  const VgPoint* p0 = &pts[count - 1];
  for (int32_t j = 0; j < count; ++j) {
    const VgPoint* p1 = &pts[j];
    if ((p1->flags & kVgPointBevel) && !(p1->flags & kVgPointLeft)) {
      dst = VgEmit(dst, p1->x + p0->dy * woff, p1->y - p0->dx * woff, 0.5f, 1);
      dst = VgEmit(dst, p1->x + p1->dy * woff, p1->y - p1->dx * woff, 0.5f, 1);
    } else {
      dst = VgEmit(dst, p1->x + p1->dmx * woff, p1->y + p1->dmy * woff, 0.5f, 1);
    }
    p0 = p1;
  }
  return dst;
}

VgVertex* FringeVertices(VgVertex* dst, const VgPoint* pts, int32_t count, float lw, float rw,
                         float lu, float ru) {
  VgVertex* start = dst;
  const VgPoint* p0 = &pts[count - 1];
  for (int32_t j = 0; j < count; ++j) {
    const VgPoint* p1 = &pts[j];
    if (p1->flags & (kVgPointBevel | kVgPointInnerBevel)) {
      dst = VgBevelJoin(dst, *p0, *p1, lw, rw, lu, ru);
    } else {
      dst = VgEmit(dst, p1->x + p1->dmx * lw, p1->y + p1->dmy * lw, lu, 1);
      dst = VgEmit(dst, p1->x - p1->dmx * rw, p1->y - p1->dmy * rw, ru, 1);
    }
    p0 = p1;
  }
  dst = VgEmit(dst, start[0].x, start[0].y, lu, 1);
  return VgEmit(dst, start[1].x, start[1].y, ru, 1);
}

} // namespace

bool VgExpandFill(VgContext* ctx, float w, int32_t lineJoin, float miterLimit) {
  VgPathCache* cache = ctx->cache;
  const bool fringe = w > 0.0f;
  VgCalculateJoins(ctx, w, lineJoin, miterLimit);

  int64_t need = 0;
  for (int32_t i = 0; i < cache->pathCount; ++i) {
    const VgPath& path = cache->paths[i];
    if (fringe)
      need += static_cast<int64_t>(path.count) * 3 + static_cast<int64_t>(path.bevelCount) * 11 + 3;
    else
      need += static_cast<int64_t>(path.count) + path.bevelCount + 1;
  }
  if (need > INT32_MAX) return false;
  VgVertex* verts = VgAllocTempVerts(cache, static_cast<int32_t>(need));
  if (verts == nullptr) return false;

  const bool convex = cache->pathCount == 1 && cache->paths[0].convex;
  const float woff = 0.5f * ctx->fringeWidth;
  for (int32_t i = 0; i < cache->pathCount; ++i) {
    VgPath* path = &cache->paths[i];
    const VgPoint* pts = &cache->points[path->first];
    path->fill = verts;
    path->stroke = verts;
    path->fillCount = 0;
    path->strokeCount = 0;
    if (path->count < kMinFillPoints) continue;

    VgVertex* dst = FillVertices(verts, pts, path->count, fringe ? woff : 0.0f);
    path->fillCount = static_cast<int32_t>(dst - verts);
    verts = dst;
    path->stroke = verts;
    if (fringe) {
      // A convex shape is drawn without a stencil pass, so only the outer
      // half of its fringe is needed.
      const float lw = convex ? woff : w + woff;
      const float lu = convex ? 0.5f : 0.0f;
      dst = FringeVertices(verts, pts, path->count, lw, w - woff, lu, 1.0f);
      path->strokeCount = static_cast<int32_t>(dst - verts);
      verts = dst;
    }
  }
  return true;
}

} // namespace plugkit
