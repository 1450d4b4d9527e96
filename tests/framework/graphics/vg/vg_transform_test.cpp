#include "framework/graphics/vg/vg_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace plugkit {
namespace {

void RandomTransform(std::mt19937& rng, float* t) {
  std::uniform_real_distribution<float> value(-4.0f, 4.0f);
  do {
    for (int i = 0; i < 6; ++i) t[i] = value(rng);
  } while (std::fabs(t[0] * t[3] - t[2] * t[1]) < 0.1f);
}

TEST(VgTransform, MultiplyAppliesTheFirstTransformFirst) {
  std::mt19937 rng(7);
  for (int n = 0; n < 200; ++n) {
    float t[6], s[6], ts[6];
    RandomTransform(rng, t);
    RandomTransform(rng, s);
    for (int i = 0; i < 6; ++i) ts[i] = t[i];
    VgTransformMultiply(ts, s);
    float px, py, qx, qy, rx, ry;
    VgTransformPoint(&px, &py, t, 1.5f, -2.0f);
    VgTransformPoint(&qx, &qy, s, px, py);
    VgTransformPoint(&rx, &ry, ts, 1.5f, -2.0f);
    EXPECT_NEAR(rx, qx, 1e-3f);
    EXPECT_NEAR(ry, qy, 1e-3f);
    // Premultiplying s by t is the same product.
    float st[6];
    for (int i = 0; i < 6; ++i) st[i] = s[i];
    VgTransformPremultiply(st, t);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(st[i], ts[i], 1e-4f);
  }
}

TEST(VgTransform, InverseUndoesTheTransform) {
  std::mt19937 rng(11);
  for (int n = 0; n < 200; ++n) {
    float t[6], inv[6];
    RandomTransform(rng, t);
    ASSERT_EQ(VgTransformInverse(inv, t), 1);
    float px, py, qx, qy;
    VgTransformPoint(&px, &py, t, 3.0f, 5.0f);
    VgTransformPoint(&qx, &qy, inv, px, py);
    EXPECT_NEAR(qx, 3.0f, 1e-3f);
    EXPECT_NEAR(qy, 5.0f, 1e-3f);
  }
}

TEST(VgTransform, SingularOrNonFiniteInvertsToIdentity) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float cases[][6] = {
      {0, 0, 0, 0, 5, 5},         // all collapsed
      {1, 2, 2, 4, 0, 0},         // parallel axes
      {1e-4f, 0, 0, 1e-3f, 1, 1}, // determinant 1e-7
      {nan, 0, 0, 1, 0, 0},       {std::numeric_limits<float>::infinity(), 0, 0, 1, 0, 0},
  };
  for (const auto& t : cases) {
    float inv[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(VgTransformInverse(inv, t), 0);
    const float identity[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(inv[i], identity[i]);
  }
}

TEST(VgTransform, AverageScaleOfScaledAndRotated) {
  float t[6], r[6];
  VgTransformScale(t, 2.0f, 4.0f);
  VgTransformRotate(r, 0.7f);
  VgTransformMultiply(t, r);
  EXPECT_NEAR(VgTransformAverageScale(t), 3.0f, 1e-5f);
}

} // namespace
} // namespace plugkit
