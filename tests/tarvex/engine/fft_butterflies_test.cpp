#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tarvex/engine/engine_constants.h"
#include "tarvex/engine/fft_butterflies.h"
#include "tarvex/engine/spectrum_magnitudes.h"
#include "tests/support/reference_fft.h"
#include "tests/support/test_noise.h"

namespace tarvex {
namespace {

constexpr int kPoints = 8192;

struct Tables {
  std::vector<std::uint16_t> bitReverse = std::vector<std::uint16_t>(kPoints);
  std::vector<double> re = std::vector<double>(kPoints), im = std::vector<double>(kPoints);
  Tables() {
    for (int n = 0; n < kPoints; ++n)
      bitReverse[n] = static_cast<std::uint16_t>(testing::ReverseBits(n, 13));
    for (int length = 2; length <= kPoints; length *= 2)
      for (int j = 0; j < length / 2; ++j) {
        re[length / 2 + j] = std::cos(-2.0 * kPi * j / length);
        im[length / 2 + j] = std::sin(-2.0 * kPi * j / length);
      }
  }
};

std::vector<StereoPoint> Transform(ButterflyKernel kernel, const std::vector<StereoPoint>& input,
                                   const Tables& t) {
  std::vector<StereoPoint> fft(kPoints);
  const ButterflyData data{input.data(), t.bitReverse.data(), t.re.data(), t.im.data(), fft.data()};
  for (const ButterflyPass& pass : kButterflyPlan)
    for (int first = 0; first < pass.units; first += 100)
      kernel(data, pass, first, std::min(pass.units, first + 100));
  return fft;
}

// Reproducible points in -0.5..0.5 on all four lanes.
std::vector<StereoPoint> RandomPoints(unsigned seed) {
  std::vector<StereoPoint> points(kPoints);
  testing::NoiseSequence noise(seed);
  auto next = [&] { return noise.Next(); };
  for (StereoPoint& p : points) {
    p.re = StereoLanes{next(), next()};
    p.im = StereoLanes{next(), next()};
  }
  return points;
}

TEST(FftButterflies, EveryKernelComputesTheSameDft) {
  Tables tables;
  const std::vector<StereoPoint> input = RandomPoints(3);
  const std::vector<StereoPoint> portable = Transform(PortableButterflyKernel(), input, tables);
  const std::vector<StereoPoint> selected = Transform(SelectButterflyKernel(), input, tables);
  EXPECT_EQ(std::memcmp(portable.data(), selected.data(), kPoints * sizeof(StereoPoint)), 0);

  int plan = 0;
  for (const ButterflyPass& pass : kButterflyPlan) plan += pass.units * pass.cost;
  EXPECT_EQ(plan, 13 * kPoints / 2);

  for (int k : {0, 1, 77, 4096, 8191}) {
    for (int lane = 0; lane < 2; ++lane) {
      long double re = 0, im = 0;
      for (int n = 0; n < kPoints; ++n) {
        const long double angle = -2.0L * kPi * k * n / kPoints;
        const long double xr = input[n].re[lane], xi = input[n].im[lane];
        re += xr * std::cos(angle) - xi * std::sin(angle);
        im += xr * std::sin(angle) + xi * std::cos(angle);
      }
      EXPECT_NEAR(portable[k].re[lane], static_cast<double>(re), 1e-9) << k;
      EXPECT_NEAR(portable[k].im[lane], static_cast<double>(im), 1e-9) << k;
    }
  }
}

// Stage after stage, block after block, butterfly after butterfly: the
// grouped passes must reproduce this order's every rounding.
TEST(FftButterflies, GroupedPassesEqualTheStageByStageTransformBitForBit) {
  Tables tables;
  const std::vector<StereoPoint> input = RandomPoints(9);
  std::vector<double> re[2], im[2];
  for (int lane = 0; lane < 2; ++lane) {
    re[lane].resize(kPoints);
    im[lane].resize(kPoints);
    for (int n = 0; n < kPoints; ++n) {
      re[lane][tables.bitReverse[n]] = input[n].re[lane];
      im[lane][tables.bitReverse[n]] = input[n].im[lane];
    }
    testing::RadixTwoStages(re[lane].data(), im[lane].data(), kPoints, tables.re.data(),
                            tables.im.data());
  }
  for (ButterflyKernel kernel : {PortableButterflyKernel(), SelectButterflyKernel()}) {
    const std::vector<StereoPoint> fft = Transform(kernel, input, tables);
    int mismatches = 0;
    for (int k = 0; k < kPoints; ++k)
      for (int lane = 0; lane < 2; ++lane)
        mismatches += fft[k].re[lane] != re[lane][k] || fft[k].im[lane] != im[lane][k];
    EXPECT_EQ(mismatches, 0);
  }
}

TEST(SpectrumMagnitudes, EveryKernelSplitsTheChannelsAlike) {
  std::vector<StereoPoint> fft(kPoints);
  testing::NoiseSequence noise(11);
  auto next = [&] { return noise.Next(); };
  for (StereoPoint& p : fft) {
    p.re = StereoLanes{next(), next()};
    p.im = StereoLanes{next(), next()};
  }
  constexpr int kBins = kPoints / 2 + 1;
  auto run = [&](MagnitudeKernel kernel) {
    std::vector<double> m(5 * kBins);
    kernel(fft.data(), 4096.0, 0, kBins,
           {&m[0], &m[kBins], &m[2 * kBins], &m[3 * kBins], &m[4 * kBins]});
    return m;
  };
  const std::vector<double> portable = run(PortableMagnitudeKernel());
  EXPECT_EQ(portable, run(SelectMagnitudeKernel()));
  // The first channel at bin 5 is |X5 + conj(X8187)| over the window sum.
  const double re = fft[5].re[0] + fft[8187].re[0], im = fft[5].im[0] - fft[8187].im[0];
  EXPECT_DOUBLE_EQ(portable[5], std::sqrt(re * re + im * im) / 4096.0);
  EXPECT_DOUBLE_EQ(
      portable[4 * kBins + 5],
      std::sqrt((portable[5] * portable[5] + portable[kBins + 5] * portable[kBins + 5]) / 2.0));
}

} // namespace
} // namespace tarvex
