#include "framework/graphics/vg/vg_paint.h"

#include "framework/graphics/vg/vg_transform.h"

#include <algorithm>
#include <cmath>

namespace plugkit {

namespace {

// Far enough that the gradient's rounded-rectangle ends never show.
constexpr float kLarge = 1e5f;

VgPaint Gradient(const VgColor& inner, const VgColor& outer) {
  VgPaint paint;
  paint.innerColor = inner;
  paint.outerColor = outer;
  return paint;
}

} // namespace

VgPaint VgFillColor(const VgColor& color) { return Gradient(color, color); }

VgPaint VgLinearGradient(float sx, float sy, float ex, float ey, const VgColor& inner,
                         const VgColor& outer) {
  float dx = ex - sx;
  float dy = ey - sy;
  const float d = std::sqrt(dx * dx + dy * dy);
  if (d > 0.0001f) {
    dx /= d;
    dy /= d;
  } else {
    dx = 0.0f;
    dy = 1.0f;
  }
  VgPaint paint = Gradient(inner, outer);
  paint.xform[0] = dy;
  paint.xform[1] = -dx;
  paint.xform[2] = dx;
  paint.xform[3] = dy;
  paint.xform[4] = sx - dx * kLarge;
  paint.xform[5] = sy - dy * kLarge;
  paint.extent[0] = kLarge;
  paint.extent[1] = kLarge + d * 0.5f;
  paint.radius = 0.0f;
  paint.feather = std::max(1.0f, d);
  return paint;
}

VgPaint VgRadialGradient(float cx, float cy, float inr, float outr, const VgColor& inner,
                         const VgColor& outer) {
  const float r = (inr + outr) * 0.5f;
  VgPaint paint = Gradient(inner, outer);
  VgTransformTranslate(paint.xform, cx, cy);
  paint.extent[0] = r;
  paint.extent[1] = r;
  paint.radius = r;
  paint.feather = std::max(1.0f, outr - inr);
  return paint;
}

VgPaint VgBoxGradient(float x, float y, float w, float h, float r, float f, const VgColor& inner,
                      const VgColor& outer) {
  VgPaint paint = Gradient(inner, outer);
  VgTransformTranslate(paint.xform, x + w * 0.5f, y + h * 0.5f);
  paint.extent[0] = w * 0.5f;
  paint.extent[1] = h * 0.5f;
  paint.radius = r;
  paint.feather = std::max(1.0f, f);
  return paint;
}

VgPaint VgImagePattern(float ox, float oy, float ex, float ey, float angle, int32_t image,
                       float alpha) {
  const VgColor white{1.0f, 1.0f, 1.0f, alpha};
  VgPaint paint = Gradient(white, white);
  VgTransformRotate(paint.xform, angle);
  paint.xform[4] = ox;
  paint.xform[5] = oy;
  paint.extent[0] = ex;
  paint.extent[1] = ey;
  paint.radius = 0.0f;
  paint.feather = 0.0f;
  paint.image = image;
  return paint;
}

} // namespace plugkit
