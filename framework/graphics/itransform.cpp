#include "framework/graphics/itransform.h"

#include <cmath>

namespace plugkit::igraphics {

ITransform& ITransform::Multiply(const ITransform& m) {
  const ITransform o = *this;
  xx = o.xx * m.xx + o.xy * m.yx;
  yx = o.yx * m.xx + o.yy * m.yx;
  xy = o.xx * m.xy + o.xy * m.yy;
  yy = o.yx * m.xy + o.yy * m.yy;
  tx = o.xx * m.tx + o.xy * m.ty + o.tx;
  ty = o.yx * m.tx + o.yy * m.ty + o.ty;
  return *this;
}

ITransform& ITransform::Rotate(double degrees) {
  // The angle goes through a single-precision pi, as the renderer's does.
  const double r = degrees / 180.0 * static_cast<double>(3.1415927f);
  const double c = std::cos(r);
  const double s = std::sin(r);
  return Multiply({c, s, -s, c, 0, 0});
}

void ITransform::TransformPoint(double& x, double& y) const {
  const double px = x;
  const double py = y;
  x = xx * px + xy * py + tx;
  y = yx * px + yy * py + ty;
}

} // namespace plugkit::igraphics
