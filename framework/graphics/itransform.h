#pragma once

namespace plugkit::igraphics {

// A 2-D affine matrix: (x, y) maps to (xx x + xy y + tx, yx x + yy y + ty).
// Each operation applies its step first, in the shape's own coordinates, and
// the old transform after it.
struct ITransform {
  double xx = 1.0;
  double yx = 0.0;
  double xy = 0.0;
  double yy = 1.0;
  double tx = 0.0;
  double ty = 0.0;

  constexpr ITransform() = default;
  constexpr ITransform(double xx_, double yx_, double xy_, double yy_, double tx_, double ty_)
      : xx(xx_), yx(yx_), xy(xy_), yy(yy_), tx(tx_), ty(ty_) {}

  ITransform& Multiply(const ITransform& m);
  // Positive angles turn clockwise on the y-down editor surface.
  ITransform& Rotate(double degrees);
  ITransform& Translate(double x, double y) { return Multiply({1, 0, 0, 1, x, y}); }
  ITransform& Scale(double sx, double sy) { return Multiply({sx, 0, 0, sy, 0, 0}); }

  void TransformPoint(double& x, double& y) const;

  bool operator==(const ITransform& o) const {
    return xx == o.xx && yx == o.yx && xy == o.xy && yy == o.yy && tx == o.tx && ty == o.ty;
  }
};

} // namespace plugkit::igraphics
