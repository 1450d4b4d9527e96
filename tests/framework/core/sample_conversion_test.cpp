#include "framework/core/sample_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace plugkit;

namespace {

TEST(SampleConversion, DoubleToFloatRoundsToNearest) {
  const float one = 1.0f;
  const double ulp = std::nextafter(one, 2.0f) - one;
  std::vector<double> src(19);
  for (size_t i = 0; i < src.size(); ++i)
    src[i] = (i % 2 == 0) ? 1.0 + 0.75 * ulp : 1.0 + 0.25 * ulp;
  std::vector<float> dst(src.size() + 1, -7.0f);
  CastCopyDoubleToFloat(dst.data(), src.data(), static_cast<int>(src.size()));
  for (size_t i = 0; i < src.size(); ++i)
    EXPECT_EQ(dst[i], (i % 2 == 0) ? std::nextafter(one, 2.0f) : one) << i;
  EXPECT_EQ(dst.back(), -7.0f);
}

TEST(SampleConversion, FloatToDoubleIsExact) {
  std::vector<float> src(21);
  for (size_t i = 0; i < src.size(); ++i) src[i] = 0.1f * static_cast<float>(i) - 1.0f;
  std::vector<double> dst(src.size() + 1, 9.0);
  CastCopyFloatToDouble(dst.data(), src.data(), static_cast<int>(src.size()));
  for (size_t i = 0; i < src.size(); ++i) EXPECT_EQ(dst[i], static_cast<double>(src[i])) << i;
  EXPECT_EQ(dst.back(), 9.0);
}

TEST(SampleConversion, NothingHappensForZeroOrNegativeCounts) {
  float f[2] = {3.0f, 4.0f};
  double d[2] = {5.0, 6.0};
  CastCopyDoubleToFloat(f, d, 0);
  CastCopyDoubleToFloat(f, d, -4);
  CastCopyFloatToDouble(d, f, 0);
  CastCopyFloatToDouble(d, f, -1);
  EXPECT_EQ(f[0], 3.0f);
  EXPECT_EQ(f[1], 4.0f);
  EXPECT_EQ(d[0], 5.0);
  EXPECT_EQ(d[1], 6.0);
}

} // namespace
