#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tarvex/engine/stereo_lanes.h"

namespace tarvex {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof(double)) == 0; }

TEST(FlushTiny, ZeroesTinyAndSubnormalStatesAndKeepsTheRestBitForBit) {
  const double subnormal = std::numeric_limits<double>::denorm_min() * 12345.0;
  ASSERT_EQ(std::fpclassify(subnormal), FP_SUBNORMAL);
  const double tiny[] = {subnormal, -subnormal, 9.99e-251, -9.99e-251, -0.0};
  for (double v : tiny) {
    const StereoLanes flushed = FlushTiny(StereoLanes{v, -v});
    EXPECT_TRUE(SameBits(flushed[0], 0.0)) << v;
    EXPECT_TRUE(SameBits(flushed[1], 0.0)) << v;
  }
  const double kept[] = {1e-250, -1e-250, 1e-200,
                         -0.5,   3.0,     std::numeric_limits<double>::infinity()};
  for (double v : kept) {
    const StereoLanes flushed = FlushTiny(StereoLanes{v, 1e-300});
    EXPECT_TRUE(SameBits(flushed[0], v)) << v;
    EXPECT_TRUE(SameBits(flushed[1], 0.0));
  }
}

} // namespace
} // namespace tarvex
