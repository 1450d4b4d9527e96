#include "framework/graphics/igraphics.h"

#include "third_party/nanosvg/nanosvg.h"

#include <algorithm>
#include <cmath>

namespace plugkit::igraphics {

namespace {

IColor ColorFromSVG(unsigned int rgba, int alpha) {
  return {alpha, static_cast<int32_t>(rgba & 0xff), static_cast<int32_t>((rgba >> 8) & 0xff),
          static_cast<int32_t>((rgba >> 16) & 0xff)};
}

// Counts how many edges of the shape's other outlines the ray from the
// path's first point away from its bounds crosses; an odd count makes the
// path a hole.
bool IsHole(const NSVGshape& shape, const NSVGpath& path) {
  const double px = path.pts[0];
  const double py = path.pts[1];
  const double dx = (path.bounds[0] - 1.0) - px;
  const double dy = (path.bounds[1] - 1.0) - py;
  int crossings = 0;
  for (const NSVGpath* other = shape.paths; other; other = other->next) {
    if (other == &path || other->npts < 4) continue;
    for (int i = 0; i < other->npts; i += 3) {
      const int next = i + 3 < other->npts ? i + 3 : 0;
      const double ax = other->pts[i * 2];
      const double ay = other->pts[i * 2 + 1];
      const double ex = other->pts[next * 2] - ax;
      const double ey = other->pts[next * 2 + 1] - ay;
      const double det = ex * dy - ey * dx;
      if (std::fabs(det) < 1e-8) continue;
      const double wx = ax - px;
      const double wy = ay - py;
      const double t = (ex * wy - ey * wx) / det;
      const double u = (dx * wy - dy * wx) / det;
      if (u >= 0.0 && u < 1.0 && t >= 0.0) ++crossings;
    }
  }
  return crossings % 2 == 1;
}

} // namespace

void IGraphics::DrawSVG(const ISVG& svg, const IRect& bounds, const IBlend* blend,
                        const IColor* strokeColor, const IColor* fillColor) {
  if (!svg.IsValid() || svg.W() <= 0.f || svg.H() <= 0.f) return;
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  const float scale = std::min(bounds.W() / svg.W(), bounds.H() / svg.H());
  PathTransformScale(scale, scale);
  DoDrawSVG(svg, blend, strokeColor, fillColor);
  PathTransformRestore();
}

void IGraphics::DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width,
                               float height, double angle, const IBlend* blend) {
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawSVG(svg, IRect(-width / 2.f, -height / 2.f, width / 2.f, height / 2.f), blend);
  PathTransformRestore();
}

void IGraphics::DoDrawSVG(const ISVG& svg, const IBlend* blend, const IColor* strokeColor,
                          const IColor* fillColor) {
  if (!svg.IsValid()) return;
  for (const NSVGshape* shape = svg.image->shapes; shape; shape = shape->next) {
    if (!(shape->flags & NSVG_FLAGS_VISIBLE)) continue;
    PathClear();
    for (const NSVGpath* path = shape->paths; path; path = path->next) {
      if (path->npts < 1) continue;
      PathMoveTo(path->pts[0], path->pts[1]);
      for (int i = 1; i + 2 < path->npts; i += 3) {
        const float* p = &path->pts[i * 2];
        PathCubicBezierTo(p[0], p[1], p[2], p[3], p[4], p[5]);
      }
      if (path->closed) PathClose();
      PathSetWinding(IsHole(*shape, *path));
    }

    if (shape->fill.type != NSVG_PAINT_NONE) {
      IFillOptions options;
      options.rule = EFillRule::Preserve;
      options.preserve = shape->stroke.type != NSVG_PAINT_NONE;
      PathFill(fillColor ? IPattern(*fillColor) : PatternFromSVGPaint(shape->fill, shape->opacity),
               options, blend);
    }
    if (shape->stroke.type != NSVG_PAINT_NONE) {
      IStrokeOptions options;
      options.miterLimit = shape->miterLimit;
      options.cap = static_cast<ELineCap>(shape->strokeLineCap);
      options.join = static_cast<ELineJoin>(shape->strokeLineJoin);
      options.dashOffset = shape->strokeDashOffset;
      options.dashCount =
          std::clamp<int32_t>(shape->strokeDashCount, 0, IStrokeOptions::kMaxDashes);
      for (int i = 0; i < options.dashCount; ++i) options.dashes[i] = shape->strokeDashArray[i];
      PathStroke(
          strokeColor ? IPattern(*strokeColor) : PatternFromSVGPaint(shape->stroke, shape->opacity),
          shape->strokeWidth, options, blend);
    }
  }
}

IPattern IGraphics::PatternFromSVGPaint(const NSVGpaint& paint, float opacity) {
  const int alpha = std::clamp(static_cast<int>(std::round(opacity * 255.f)), 0, 255);
  if (paint.type == NSVG_PAINT_COLOR) return IPattern(ColorFromSVG(paint.color, alpha));
  if (paint.type != NSVG_PAINT_LINEAR_GRADIENT && paint.type != NSVG_PAINT_RADIAL_GRADIENT)
    return IPattern(IColor(alpha, 0, 0, 0));

  const NSVGgradient& gradient = *paint.gradient;
  IPattern pattern(paint.type == NSVG_PAINT_LINEAR_GRADIENT ? EPatternType::Linear
                                                            : EPatternType::Radial);
  switch (gradient.spread) {
    case NSVG_SPREAD_REFLECT:
      pattern.extend = EPatternExtend::Reflect;
      break;
    case NSVG_SPREAD_REPEAT:
      pattern.extend = EPatternExtend::Repeat;
      break;
    default:
      pattern.extend = EPatternExtend::Pad;
      break;
  }
  for (int i = 0; i < gradient.nstops; ++i)
    pattern.AddStop(ColorFromSVG(gradient.stops[i].color, 255), gradient.stops[i].offset);
  const float* m = gradient.xform;
  pattern.transform = {m[0], m[1], m[2], m[3], m[4], m[5]};
  return pattern;
}

} // namespace plugkit::igraphics
