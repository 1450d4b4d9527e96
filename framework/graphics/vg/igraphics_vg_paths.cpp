#include "framework/graphics/vg/igraphics_vg.h"

#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_draw.h"
#include "framework/graphics/vg/vg_paint.h"
#include "framework/graphics/vg/vg_transform.h"

#include <algorithm>
#include <cmath>

namespace plugkit::igraphics {

namespace {

constexpr float kPi = 3.1415927f;

VgColor ToVgColor(const IColor& c, float weight) {
  return VgColor{static_cast<float>(c.R) / 255.f, static_cast<float>(c.G) / 255.f,
                 static_cast<float>(c.B) / 255.f, static_cast<float>(c.A) * weight / 255.f};
}

// The pattern transform's inverse, applied to a point of gradient space.
// A transform without an inverse (it maps two points onto one) maps every
// point to the origin: the gradient then has no length instead of
// coordinates that are not numbers.
struct Inverse {
  explicit Inverse(const ITransform& t) : m(t) {
    const double det = t.xx * t.yy - t.xy * t.yx;
    invertible = det != 0.0 && std::isfinite(det);
    invDet = invertible ? 1.0 / det : 0.0;
  }
  void Map(double X, double Y, float& x, float& y) const {
    if (!invertible) {
      x = y = 0.f;
      return;
    }
    x = static_cast<float>((m.yy * (X - m.tx) - m.xy * (Y - m.ty)) * invDet);
    y = static_cast<float>((-m.yx * (X - m.tx) + m.xx * (Y - m.ty)) * invDet);
  }
  double XScale() const { return m.yy * invDet; }

  ITransform m;
  bool invertible = false;
  double invDet = 0.0;
};

int32_t BlendFactor(int method, bool source) {
  static const int32_t kFactors[10][2] = {
      {kVgOne, kVgOneMinusSrcAlpha},  {kVgDstAlpha, kVgZero},
      {kVgOneMinusDstAlpha, kVgZero}, {kVgDstAlpha, kVgOneMinusSrcAlpha},
      {kVgOneMinusDstAlpha, kVgOne},  {kVgZero, kVgSrcAlpha},
      {kVgZero, kVgOneMinusSrcAlpha}, {kVgOneMinusDstAlpha, kVgSrcAlpha},
      {kVgSrcAlpha, kVgDstAlpha},     {kVgOneMinusDstAlpha, kVgOneMinusSrcAlpha},
  };
  return kFactors[method][source ? 0 : 1];
}

// At most this many dashes a line: beyond that a tiny dash length only
// floods the renderer with commands it drops anyway.
constexpr double kMaxDashes = 65536.0;

} // namespace

void IGraphicsVG::SetFillColor(const IColor& color, const IBlend* blend) {
  VgGetState(context_)->fill = VgFillColor(ToVgColor(color, BlendWeight(blend)));
}

void IGraphicsVG::ResetBlend() { VgGetState(context_)->blend = VgBlendState{}; }

void IGraphicsVG::SetBlendMode(const IBlend* blend) {
  if (!context_) return;
  const int method = blend ? blend->method : 0;
  if (method < 0 || method > 9) return;
  VgBlendState& state = VgGetState(context_)->blend;
  state.srcColor = state.srcAlpha = BlendFactor(method, true);
  state.dstColor = state.dstAlpha = BlendFactor(method, false);
}

VgPaint IGraphicsVG::MakePaint(const IPattern& pattern, const IBlend* blend) const {
  const float weight = BlendWeight(blend);
  const int last = std::max(0, std::min(pattern.nStops, IPattern::kMaxStops) - 1);
  const VgColor inner = ToVgColor(pattern.stops[0].color, weight);
  const VgColor outer = ToVgColor(pattern.stops[last].color, weight);
  const Inverse inverse(pattern.transform);
  float sx = 0.f;
  float sy = 0.f;
  inverse.Map(0.0, 0.0, sx, sy);
  if (pattern.type == EPatternType::Radial) {
    const auto outerRadius = static_cast<float>(inverse.XScale());
    const float innerRadius = outerRadius * pattern.stops[0].offset;
    return VgRadialGradient(sx, sy, innerRadius, outerRadius, inner, outer);
  }
  float ex = 0.f;
  float ey = 0.f;
  inverse.Map(0.0, 1.0, ex, ey);
  return VgLinearGradient(sx, sy, ex, ey, inner, outer);
}

void IGraphicsVG::PathClear() {
  if (context_) VgBeginPath(context_);
}

void IGraphicsVG::PathClose() {
  const float values[] = {kVgClose};
  if (context_) VgAppendCommands(context_, values, 1);
}

void IGraphicsVG::PathArc(float cx, float cy, float r, float a1, float a2, int winding) {
  if (!context_) return;
  VgArc(context_, cx, cy, r, (a1 - 90.f) / 180.f * kPi, (a2 - 90.f) / 180.f * kPi,
        winding ? kVgCcw : kVgCw);
}

void IGraphicsVG::PathMoveTo(float x, float y) {
  const float values[] = {kVgMoveTo, x, y};
  if (context_) VgAppendCommands(context_, values, 3);
}

void IGraphicsVG::PathLineTo(float x, float y) {
  const float values[] = {kVgLineTo, x, y};
  if (context_) VgAppendCommands(context_, values, 3);
}

void IGraphicsVG::PathSetWinding(bool clockwise) {
  if (context_) VgPathWinding(context_, clockwise ? kVgHole : kVgSolid);
}

void IGraphicsVG::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2,
                                    float y2) {
  const float values[] = {kVgBezierTo, c1x, c1y, c2x, c2y, x2, y2};
  if (context_) VgAppendCommands(context_, values, 7);
}

void IGraphicsVG::PathQuadraticBezierTo(float cx, float cy, float x2, float y2) {
  if (!context_) return;
  constexpr float kTwoThirds = 0.6666667f;
  const float x0 = context_->commandX;
  const float y0 = context_->commandY;
  const float values[] = {kVgBezierTo,
                          x0 + kTwoThirds * (cx - x0),
                          y0 + kTwoThirds * (cy - y0),
                          x2 + kTwoThirds * (cx - x2),
                          y2 + kTwoThirds * (cy - y2),
                          x2,
                          y2};
  VgAppendCommands(context_, values, 7);
}

void IGraphicsVG::PathFill(const IPattern& pattern, const IFillOptions& options,
                           const IBlend* blend) {
  if (!context_) return;
  if (options.rule == EFillRule::NonZero) VgPathWinding(context_, kVgSolid);
  if (options.rule == EFillRule::EvenOdd) VgPathWinding(context_, kVgHole);
  VgState* state = VgGetState(context_);
  if (pattern.type == EPatternType::Solid) {
    SetFillColor(pattern.GetStop0(), blend);
  } else {
    state->fill = MakePaint(pattern, blend);
    VgTransformMultiply(state->fill.xform, state->xform);
  }
  SetBlendMode(blend);
  VgFill(context_);
  ResetBlend();
  if (!options.preserve) VgBeginPath(context_);
}

void IGraphicsVG::PathStroke(const IPattern& pattern, float thickness,
                             const IStrokeOptions& options, const IBlend* blend) {
  if (!context_) return;
  VgState* state = VgGetState(context_);
  switch (options.cap) {
    case ELineCap::Butt:
      state->lineCap = kVgButt;
      break;
    case ELineCap::Round:
      state->lineCap = kVgRound;
      break;
    case ELineCap::Square:
      state->lineCap = kVgSquare;
      break;
  }
  switch (options.join) {
    case ELineJoin::Miter:
      state->lineJoin = kVgMiter;
      break;
    case ELineJoin::Round:
      state->lineJoin = kVgRound;
      break;
    case ELineJoin::Bevel:
      state->lineJoin = kVgBevel;
      break;
  }
  state->miterLimit = options.miterLimit;
  state->strokeWidth = thickness;
  if (pattern.type == EPatternType::Solid) {
    state->stroke = VgFillColor(ToVgColor(pattern.GetStop0(), BlendWeight(blend)));
  } else {
    state->stroke = MakePaint(pattern, blend);
    VgTransformMultiply(state->stroke.xform, state->xform);
  }
  VgPathWinding(context_, kVgSolid);
  SetBlendMode(blend);
  VgStroke(context_);
  ResetBlend();
  if (!options.preserve) VgBeginPath(context_);
}

void IGraphicsVG::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                                 const IBlend* blend, float thickness, float dashLen) {
  // A dash that is not a positive length gives no dashes to draw.
  if (!(dashLen > 0.f) || !std::isfinite(dashLen)) return;
  const float dx = x2 - x1;
  const float dy = y2 - y1;
  const double dashes = std::round(std::sqrt(dx * dx + dy * dy) / dashLen);
  if (!std::isfinite(dashes)) return;
  const int n = static_cast<int>(std::min(dashes, kMaxDashes));
  const float fn = static_cast<float>(n);
  PathMoveTo(x1, y1);
  for (int i = 1; i < n; i += 2) {
    const float a = static_cast<float>(i) / fn;
    const float b = a + 1.f / fn;
    PathLineTo(x1 + dx * a, y1 + dy * a);
    PathMoveTo(x1 + dx * b, y1 + dy * b);
  }
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphicsVG::DrawDottedRect(const IColor& color, const IRect& bounds, const IBlend* blend,
                                 float thickness, float dashLen) {
  if (!(dashLen > 0.f) || !std::isfinite(dashLen)) return;
  const double xs = std::ceil(bounds.W() / (2.0 * dashLen));
  const double ys = std::ceil(bounds.H() / (2.0 * dashLen));
  if (!std::isfinite(xs) || !std::isfinite(ys)) return;
  const int nx = static_cast<int>(std::clamp(xs, 0.0, kMaxDashes));
  const int ny = static_cast<int>(std::clamp(ys, 0.0, kMaxDashes));
  float x = bounds.L;
  float y = bounds.T;
  PathMoveTo(x, y);
  for (const float d : {dashLen, -dashLen}) {
    for (int i = 0; i < nx; ++i) {
      const float next = std::clamp(x + d, bounds.L, bounds.R);
      PathLineTo(next, y);
      x = std::clamp(next + d, bounds.L, bounds.R);
      PathMoveTo(x, y);
    }
    for (int i = 0; i < ny; ++i) {
      const float next = std::clamp(y + d, bounds.T, bounds.B);
      PathLineTo(x, next);
      y = std::clamp(next + d, bounds.T, bounds.B);
      PathMoveTo(x, y);
    }
  }
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphicsVG::DrawFastDropShadow(const IRect& inner, const IRect& outer, float xyDrop,
                                     float roundness, float blur, const IBlend* blend) {
  if (!context_) return;
  VgBeginPath(context_);
  VgRect(context_, outer.L, outer.T, outer.W(), outer.H());
  VgState* state = VgGetState(context_);
  const VgColor shadow{0.f, 0.f, 0.f, 128.f / 255.f * BlendWeight(blend)};
  state->fill = VgBoxGradient(inner.L + xyDrop, inner.T + xyDrop, inner.W(), inner.H(), roundness,
                              blur, shadow, VgColor{});
  VgTransformMultiply(state->fill.xform, state->xform);
  ResetBlend();
  VgFill(context_);
  VgBeginPath(context_);
}

} // namespace plugkit::igraphics
