#include "framework/graphics/vg/vg_draw.h"

#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_expand.h"
#include "framework/graphics/vg/vg_flatten.h"
#include "framework/graphics/vg/vg_transform.h"

#include <algorithm>
#include <cmath>

namespace plugkit {

namespace {

constexpr float kFillMiterLimit = 2.4f;
constexpr float kMaxStrokeWidth = 200.0f;

void MultiplyAlpha(VgPaint* paint, float alpha) {
  paint->innerColor.a *= alpha;
  paint->outerColor.a *= alpha;
}

// NaN counts as lo.
float Clamp(float v, float lo, float hi) {
  if (!(v > lo)) return lo;
  return v < hi ? v : hi;
}

bool Antialiased(VgContext* ctx) {
  return ctx->callbacks.edgeAntialias != 0 && VgGetState(ctx)->shapeAntialias != 0;
}

} // namespace

void VgFill(VgContext* ctx) {
  const VgState* state = VgGetState(ctx);
  VgPathCache* cache = ctx->cache;
  VgPaint paint = state->fill;
  VgFlattenPaths(ctx);
  const float w = Antialiased(ctx) ? ctx->fringeWidth : 0.0f;
  if (!VgExpandFill(ctx, w, kVgMiter, kFillMiterLimit)) return;
  // An empty or degenerate path has nothing inside it.
  const bool any = std::any_of(cache->paths, cache->paths + cache->pathCount,
                               [](const VgPath& p) { return p.fillCount > 0; });
  if (!any) return;
  MultiplyAlpha(&paint, state->alpha);
  ctx->callbacks.fill(ctx->callbacks.user, &paint, state->blend, &state->scissor, ctx->fringeWidth,
                      cache->bounds, cache->paths, cache->pathCount);
  for (int32_t i = 0; i < cache->pathCount; ++i) {
    const VgPath& path = cache->paths[i];
    ctx->fillTriCount += std::max(0, path.fillCount - 2) + std::max(0, path.strokeCount - 2);
    ctx->drawCallCount += 2;
  }
}

void VgStroke(VgContext* ctx) {
  const VgState* state = VgGetState(ctx);
  VgPathCache* cache = ctx->cache;
  const float scale = VgTransformAverageScale(state->xform);
  float width = Clamp(state->strokeWidth * scale, 0.0f, kMaxStrokeWidth);
  VgPaint paint = state->stroke;
  if (width < ctx->fringeWidth) {
    // Thinner than the fringe: drawn one fringe wide, fainter by the
    // covered fraction (squared, which looks closer to the true coverage).
    const float alpha = Clamp(width / ctx->fringeWidth, 0.0f, 1.0f);
    MultiplyAlpha(&paint, alpha * alpha);
    width = ctx->fringeWidth;
  }
  MultiplyAlpha(&paint, state->alpha);
  VgFlattenPaths(ctx);
  const float fringe = Antialiased(ctx) ? ctx->fringeWidth : 0.0f;
  if (!VgExpandStroke(ctx, width * 0.5f, fringe, state->lineCap, state->lineJoin,
                      state->miterLimit))
    return;
  const bool any = std::any_of(cache->paths, cache->paths + cache->pathCount,
                               [](const VgPath& p) { return p.strokeCount > 0; });
  if (!any) return;
  ctx->callbacks.stroke(ctx->callbacks.user, &paint, state->blend, &state->scissor,
                        ctx->fringeWidth, width, cache->paths, cache->pathCount);
  for (int32_t i = 0; i < cache->pathCount; ++i) {
    ctx->strokeTriCount += std::max(0, cache->paths[i].strokeCount - 2);
    ++ctx->drawCallCount;
  }
}

void VgScissor(VgContext* ctx, float x, float y, float w, float h) {
  VgState* state = VgGetState(ctx);
  // A rectangle that is not a number clips everything away rather than
  // handing the back end a transform it cannot invert.
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h))
    x = y = w = h = 0.0f;
  w = Clamp(w, 0.0f, INFINITY);
  h = Clamp(h, 0.0f, INFINITY);
  VgTransformTranslate(state->scissor.xform, x + w * 0.5f, y + h * 0.5f);
  VgTransformMultiply(state->scissor.xform, state->xform);
  state->scissor.extent[0] = w * 0.5f;
  state->scissor.extent[1] = h * 0.5f;
}

} // namespace plugkit
