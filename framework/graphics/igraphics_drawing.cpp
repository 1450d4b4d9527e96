#include "framework/graphics/igraphics.h"

#include <algorithm>

namespace plugkit::igraphics {

void IGraphics::DrawFittedBitmap(const IBitmap& bitmap, const IRect& bounds, const IBlend* blend) {
  if (bitmap.W() <= 0 || bitmap.H() <= 0) return;
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(bounds.W() / static_cast<float>(bitmap.W()),
                     bounds.H() / static_cast<float>(bitmap.H()));
  DrawBitmap(bitmap,
             IRect(0.f, 0.f, static_cast<float>(bitmap.W()), static_cast<float>(bitmap.H())), 0, 0,
             blend);
  PathTransformRestore();
}

void IGraphics::DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY,
                                  double angle, const IBlend* blend) {
  const float drawScale = bitmap.GetDrawScale() > 0.f ? bitmap.GetDrawScale() : 1.f;
  const float w = static_cast<float>(bitmap.W()) / drawScale;
  const float h = static_cast<float>(bitmap.H()) / drawScale;
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawBitmap(bitmap, IRect(-w / 2.f, -h / 2.f, w / 2.f, h / 2.f), 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::DrawPoint(const IColor& color, float x, float y, const IBlend* blend) {
  FillRect(color, IRect(x, y, x + 1.f, y + 1.f), blend);
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2,
                         const IBlend* blend, float thickness) {
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3,
                             float y3, const IBlend* blend, float thickness) {
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathLineTo(x3, y3);
  PathClose();
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRect(const IColor& color, const IRect& bounds, const IBlend* blend,
                         float thickness) {
  PathClear();
  PathRect(bounds);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRoundRectCorners(const IColor& color, const IRect& bounds, float tl, float tr,
                                     float bl, float br, const IBlend* blend, float thickness) {
  PathClear();
  PathRoundRect(bounds, tl, tr, bl, br);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IRect& bounds, float cornerRadius,
                              const IBlend* blend, float thickness) {
  PathClear();
  PathRoundRect(bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                        const IBlend* blend, float thickness) {
  PathClear();
  PathArc(cx, cy, r, a1, a2, 0);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend,
                           float thickness) {
  PathClear();
  PathCircle(cx, cy, r);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawEllipseRotated(const IColor& color, float x, float y, float r1, float r2,
                                   float angle, const IBlend* blend, float thickness) {
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawEllipse(const IColor& color, const IRect& bounds, const IBlend* blend,
                            float thickness) {
  PathClear();
  PathEllipse(bounds.MW(), bounds.MH(), bounds.W() / 2.f, bounds.H() / 2.f, 0.f);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawConvexPolygon(const IColor& color, const float* x, const float* y, int npoints,
                                  const IBlend* blend, float thickness) {
  PathClear();
  PathConvexPolygon(x, y, npoints);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3,
                             float y3, const IBlend* blend) {
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathLineTo(x3, y3);
  PathClose();
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillRect(const IColor& color, const IRect& bounds, const IBlend* blend) {
  PathClear();
  PathRect(bounds);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillRoundRectCorners(const IColor& color, const IRect& bounds, float tl, float tr,
                                     float bl, float br, const IBlend* blend) {
  PathClear();
  PathRoundRect(bounds, tl, tr, bl, br);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IRect& bounds, float cornerRadius,
                              const IBlend* blend) {
  PathClear();
  PathRoundRect(bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend) {
  PathClear();
  PathCircle(cx, cy, r);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillEllipseRotated(const IColor& color, float x, float y, float r1, float r2,
                                   float angle, const IBlend* blend) {
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillEllipse(const IColor& color, const IRect& bounds, const IBlend* blend) {
  PathClear();
  PathEllipse(bounds.MW(), bounds.MH(), bounds.W() / 2.f, bounds.H() / 2.f, 0.f);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                        const IBlend* blend) {
  PathClear();
  PathMoveTo(cx, cy);
  PathArc(cx, cy, r, a1, a2, 0);
  PathClose();
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillConvexPolygon(const IColor& color, const float* x, const float* y, int npoints,
                                  const IBlend* blend) {
  PathClear();
  PathConvexPolygon(x, y, npoints);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::DrawGrid(const IColor& color, const IRect& bounds, float gridSizeH, float gridSizeV,
                         const IBlend* blend, float thickness) {
  PathClear();
  if (gridSizeH > 1.f) {
    for (float x = bounds.L + gridSizeH; x < bounds.R; x += gridSizeH) {
      PathMoveTo(x, bounds.T);
      PathLineTo(x, bounds.B);
    }
  }
  if (gridSizeV > 1.f) {
    for (float y = bounds.T + gridSizeV; y < bounds.B; y += gridSizeV) {
      PathMoveTo(bounds.L, y);
      PathLineTo(bounds.R, y);
    }
  }
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawData(const IColor& color, const IRect& bounds, const float* normYPoints,
                         int nPoints, const float* normXPoints, const IBlend* blend,
                         float thickness, const IColor* fillColor) {
  if (nPoints <= 0) return;
  PathClear();
  PathMoveTo(bounds.L, bounds.B - bounds.H() * normYPoints[0]);
  for (int i = 1; i < nPoints; ++i) {
    const float x = normXPoints ? bounds.L + bounds.W() * normXPoints[i]
                                : bounds.L + bounds.W() / static_cast<float>(nPoints - 1) * i;
    PathLineTo(x, bounds.B - bounds.H() * normYPoints[i]);
  }
  if (fillColor) {
    IFillOptions options;
    options.preserve = true;
    PathFill(*fillColor, options, blend);
  }
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::PathRect(const IRect& bounds) {
  PathMoveTo(bounds.L, bounds.T);
  PathLineTo(bounds.R, bounds.T);
  PathLineTo(bounds.R, bounds.B);
  PathLineTo(bounds.L, bounds.B);
  PathClose();
}

void IGraphics::PathRoundRect(const IRect& bounds, float ctl, float ctr, float cbl, float cbr) {
  // A corner wider than half the box would cross its neighbour and ink outside the box.
  const float limit = std::max(0.f, std::min(bounds.W(), bounds.H()) / 2.f);
  const auto fit = [limit](float radius) { return std::clamp(radius, 0.f, limit); };
  ctl = fit(ctl);
  ctr = fit(ctr);
  cbl = fit(cbl);
  cbr = fit(cbr);
  if (ctl <= 0.f && ctr <= 0.f && cbl <= 0.f && cbr <= 0.f) {
    PathRect(bounds);
    return;
  }
  const IRect& r = bounds;
  PathMoveTo(r.L, r.T + ctl);
  PathArc(r.L + ctl, r.T + ctl, ctl, 270.f, 360.f);
  PathArc(r.R - ctr, r.T + ctr, ctr, 0.f, 90.f);
  PathArc(r.R - cbr, r.B - cbr, cbr, 90.f, 180.f);
  PathArc(r.L + cbl, r.B - cbl, cbl, 180.f, 270.f);
  PathClose();
}

void IGraphics::PathCircle(float cx, float cy, float r) {
  PathMoveTo(cx, cy - r);
  PathArc(cx, cy, r, 0.f, 360.f);
  PathClose();
}

void IGraphics::PathEllipse(float x, float y, float r1, float r2, float angle) {
  if (r1 <= 0.f || r2 <= 0.f) return;
  PathTransformSave();
  PathTransformTranslate(x, y);
  PathTransformRotate(angle);
  PathTransformScale(r1, r2);
  PathCircle(0.f, 0.f, 1.f);
  PathTransformRestore();
}

void IGraphics::PathConvexPolygon(const float* x, const float* y, int nPoints) {
  if (nPoints <= 0) return;
  PathMoveTo(x[0], y[0]);
  for (int i = 1; i < nPoints; ++i) PathLineTo(x[i], y[i]);
  PathClose();
}

void IGraphics::PathTransformSave() { transformStates_.push_back(transform_); }

void IGraphics::PathTransformRestore() {
  if (transformStates_.empty()) return;
  transform_ = transformStates_.back();
  transformStates_.pop_back();
  SetTransformMatrix(transform_);
}

void IGraphics::PathTransformReset(bool clearStates) {
  if (clearStates) transformStates_.clear();
  transform_ = ITransform();
  SetTransformMatrix(transform_);
}

void IGraphics::PathTransformTranslate(float x, float y) {
  transform_.Translate(x, y);
  SetTransformMatrix(transform_);
}

void IGraphics::PathTransformRotate(float angle) {
  transform_.Rotate(angle);
  SetTransformMatrix(transform_);
}

void IGraphics::PathTransformScale(float sx, float sy) {
  transform_.Scale(sx, sy);
  SetTransformMatrix(transform_);
}

void IGraphics::DrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                         const IBlend* blend) {
  if (!text || !*text) return;
  DoDrawText(style, text, bounds, blend);
}

float IGraphics::MeasureText(const ITextStyle& style, const char* text, IRect& bounds) const {
  if (!text || !*text) {
    bounds = IRect();
    return 0.f;
  }
  return DoMeasureText(style, text, bounds);
}

void IGraphics::DrawMultiLineText(const ITextStyle& style, const char*, const IRect& bounds,
                                  const IBlend* blend) {
  DoDrawText(style, "Unsupported", bounds, blend);
}

void IGraphics::ComputeTextRotationOffset(const ITextStyle& style, const IRect& bounds,
                                          IRect& textRect, double& dx, double& dy) const {
  if (style.angle == 0.f) return;
  ITransform rotation;
  rotation.Rotate(style.angle);
  auto corner = [&](float x, float y) {
    double px = x;
    double py = y;
    rotation.TransformPoint(px, py);
    return IRect(static_cast<float>(px), static_cast<float>(py), static_cast<float>(px),
                 static_cast<float>(py));
  };
  auto box = [](const IRect& a, const IRect& b) {
    return IRect(std::min(a.L, b.L), std::min(a.T, b.T), std::max(a.R, b.R), std::max(a.B, b.B));
  };
  const IRect left = box(corner(textRect.L, textRect.T), corner(textRect.L, textRect.B));
  const IRect right = box(corner(textRect.R, textRect.T), corner(textRect.R, textRect.B));
  textRect = left.Union(right);

  switch (style.align) {
    case EAlign::Near:
      dx = bounds.L - textRect.L;
      break;
    case EAlign::Center:
      dx = bounds.MW() - textRect.MW();
      break;
    case EAlign::Far:
      dx = bounds.R - textRect.R;
      break;
  }
  switch (style.valign) {
    case EVAlign::Top:
      dy = bounds.T - textRect.T;
      break;
    case EVAlign::Middle:
      dy = bounds.MH() - textRect.MH();
      break;
    case EVAlign::Bottom:
      dy = bounds.B - textRect.B;
      break;
  }
}

void IGraphics::ApplyTextRotationOffset(const ITextStyle& style, const IRect& bounds,
                                        IRect& textRect) const {
  double dx = 0.0;
  double dy = 0.0;
  ComputeTextRotationOffset(style, bounds, textRect, dx, dy);
  textRect = textRect.GetTranslated(static_cast<float>(dx), static_cast<float>(dy));
}

} // namespace plugkit::igraphics
