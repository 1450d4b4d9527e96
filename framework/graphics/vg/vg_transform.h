#pragma once

#include <cstdint>

namespace plugkit {

// 2-D affine transforms as six floats (a, b, c, d, e, f):
// x' = a x + c y + e, y' = b x + d y + f.

void VgTransformIdentity(float* t);
void VgTransformTranslate(float* t, float tx, float ty);
void VgTransformScale(float* t, float sx, float sy);
void VgTransformRotate(float* t, float angle);
// t := t then s (s applied to the result of t).
void VgTransformMultiply(float* t, const float* s);
// s := t then s (t applied to points before s).
void VgTransformPremultiply(float* s, const float* t);
// Returns 0 and the identity when t cannot be inverted, else 1.
int32_t VgTransformInverse(float* out, const float* t);
void VgTransformPoint(float* dx, float* dy, const float* t, float sx, float sy);
// Mean length of the transformed unit axes.
float VgTransformAverageScale(const float* t);

} // namespace plugkit
