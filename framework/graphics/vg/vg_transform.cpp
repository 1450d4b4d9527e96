#include "framework/graphics/vg/vg_transform.h"

#include <cmath>

namespace plugkit {

void VgTransformIdentity(float* t) {
  t[0] = 1.0f;
  t[1] = 0.0f;
  t[2] = 0.0f;
  t[3] = 1.0f;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

void VgTransformTranslate(float* t, float tx, float ty) {
  VgTransformIdentity(t);
  t[4] = tx;
  t[5] = ty;
}

void VgTransformScale(float* t, float sx, float sy) {
  VgTransformIdentity(t);
  t[0] = sx;
  t[3] = sy;
}

void VgTransformRotate(float* t, float angle) {
  const float cs = std::cos(angle);
  const float sn = std::sin(angle);
  t[0] = cs;
  t[1] = sn;
  t[2] = -sn;
  t[3] = cs;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

void VgTransformMultiply(float* t, const float* s) {
  const float t0 = t[0] * s[0] + t[1] * s[2];
  const float t2 = t[2] * s[0] + t[3] * s[2];
  const float t4 = t[4] * s[0] + t[5] * s[2] + s[4];
  t[1] = t[0] * s[1] + t[1] * s[3];
  t[3] = t[2] * s[1] + t[3] * s[3];
  t[5] = t[4] * s[1] + t[5] * s[3] + s[5];
  t[0] = t0;
  t[2] = t2;
  t[4] = t4;
}

void VgTransformPremultiply(float* s, const float* t) {
  float result[6];
  for (int i = 0; i < 6; ++i) result[i] = t[i];
  VgTransformMultiply(result, s);
  for (int i = 0; i < 6; ++i) s[i] = result[i];
}

int32_t VgTransformInverse(float* out, const float* t) {
  const double det = static_cast<double>(t[0]) * t[3] - static_cast<double>(t[2]) * t[1];
  // A non-finite determinant would spread NaN through every later point.
  if ((det > -1e-6 && det < 1e-6) || !std::isfinite(det)) {
    VgTransformIdentity(out);
    return 0;
  }
  const double invdet = 1.0 / det;
  out[0] = static_cast<float>(t[3] * invdet);
  out[2] = static_cast<float>(-t[2] * invdet);
  out[4] = static_cast<float>(
      (static_cast<double>(t[2]) * t[5] - static_cast<double>(t[3]) * t[4]) * invdet);
  out[1] = static_cast<float>(-t[1] * invdet);
  out[3] = static_cast<float>(t[0] * invdet);
  out[5] = static_cast<float>(
      (static_cast<double>(t[1]) * t[4] - static_cast<double>(t[0]) * t[5]) * invdet);
  return 1;
}

void VgTransformPoint(float* dx, float* dy, const float* t, float sx, float sy) {
  *dx = sx * t[0] + sy * t[2] + t[4];
  *dy = sx * t[1] + sy * t[3] + t[5];
}

float VgTransformAverageScale(const float* t) {
  const float sx = std::sqrt(t[0] * t[0] + t[1] * t[1]);
  const float sy = std::sqrt(t[2] * t[2] + t[3] * t[3]);
  return (sx + sy) * 0.5f;
}

} // namespace plugkit
