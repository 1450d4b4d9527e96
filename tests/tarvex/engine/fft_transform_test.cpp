#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "tarvex/engine/fft_transform.h"
#include "tarvex/engine/spectrum_magnitudes.h"
#include "tests/support/reference_fft.h"
#include "tests/support/test_noise.h"

namespace tarvex {
namespace {

using testing::LongComplex;

constexpr int kPoints = kTransformPoints;
constexpr int kBins = kPoints / 2 + 1;
// The double transform's error stays below this share of its largest bin
// (about a hundred times the rounding of one operation).
constexpr double kTransformTolerance = 1e-14;

// A ring of four reproducible noisy signals with a tone each, and the
// transforms of its 8192 points from `oldest` on, computed in steps of
// uneven size as the analyser spreads them.
struct TransformRun {
  std::vector<StereoPoint> ring = std::vector<StereoPoint>(kPoints);
  std::unique_ptr<TransformTables> tables = std::make_unique<TransformTables>();
  std::unique_ptr<TransformBuffers> buffers = std::make_unique<TransformBuffers>();
  int oldest = 1234;

  explicit TransformRun(unsigned seed) {
    testing::NoiseSequence noise(seed);
    for (int n = 0; n < kPoints; ++n) {
      const double tone = std::sin(0.37 * n);
      ring[n].re = StereoLanes{noise.Next() + tone, noise.Next()};
      ring[n].im = StereoLanes{noise.Next(), noise.Next() - 0.5 * tone};
    }
  }

  void Run(const TransformKernels& kernels) {
    for (int first = 0; first < kWindowBlocks; first += 7)
      kernels.window(ring.data(), oldest, *tables, *buffers, first,
                     std::min(first + 7, kWindowBlocks));
    for (int first = 0; first < kTransformUnits; first += 13)
      kernels.passes(*tables, *buffers, first, std::min(first + 13, kTransformUnits));
  }

  // The windowed input of transform 0 (input) or 1 (output) in long double.
  std::vector<LongComplex> Windowed(int transform) const {
    std::vector<LongComplex> x(kPoints);
    for (int n = 0; n < kPoints; ++n) {
      const StereoPoint& p = ring[(oldest + n) % kPoints];
      const long double w = tables->window[n];
      x[n] = LongComplex(w * p.re[transform], w * p.im[transform]);
    }
    return x;
  }
};

TEST(FftTransform, EqualsALongDoubleTransformWithinTolerance) {
  TransformRun run(3);
  run.Run(SelectTransformKernels());
  for (int transform = 0; transform < 2; ++transform) {
    const std::vector<LongComplex> x = run.Windowed(transform);
    const std::vector<LongComplex> reference = testing::LongDoubleFft(x);
    for (int k : {0, 1, 603, 4096, 8191})
      EXPECT_LT(std::abs(reference[k] - testing::LongDoubleDftBin(x, k)), 1e-15L * kPoints) << k;
    long double largest = 0.0L, worst = 0.0L;
    for (int k = 0; k < kPoints; ++k) {
      largest = std::max(largest, std::abs(reference[k]));
      const LongComplex computed(run.buffers->Re(transform, k), run.buffers->Im(transform, k));
      worst = std::max(worst, std::abs(computed - reference[k]));
    }
    EXPECT_LT(worst, kTransformTolerance * largest) << transform;
  }
}

TEST(FftTransform, EveryKernelGivesTheSameTransformAndMagnitudes) {
  TransformRun portable(9), selected(9);
  portable.Run(PortableTransformKernels());
  selected.Run(SelectTransformKernels());
  EXPECT_EQ(std::memcmp(portable.buffers.get(), selected.buffers.get(), sizeof(TransformBuffers)),
            0);

  auto magnitudes = [&](MagnitudeKernel kernel) {
    std::vector<double> m(4 * kBins);
    for (int first = 0; first < kBins; first += 128)
      kernel(*portable.buffers, 1.0 / 4096.0, first, std::min(first + 128, kBins),
             {&m[0], &m[kBins], &m[2 * kBins], &m[3 * kBins]});
    return m;
  };
  EXPECT_EQ(magnitudes(PortableMagnitudeKernel()), magnitudes(SelectMagnitudeKernel()));
}

// The power of each real channel's amplitude spectrum over the window sum,
// the mean of the two input channels' and of the two output channels',
// against the long-double transforms of the same windowed points. A power's
// error is about twice its amplitude's times the amplitude, so the tolerance
// relative to the largest power is twice the transform's.
TEST(SpectrumMagnitudes, SplitTheChannelsWithinTolerance) {
  TransformRun run(11);
  run.Run(SelectTransformKernels());
  const double scale = 1.0 / run.tables->windowSum;
  std::vector<double> m(4 * kBins);
  const MagnitudeArrays arrays{&m[0], &m[kBins], &m[2 * kBins], &m[3 * kBins]};
  for (int first = 0; first < kBins; first += 128)
    SelectMagnitudeKernel()(*run.buffers, scale, first, std::min(first + 128, kBins), arrays);
  long double windowSum = 0.0L;
  for (double w : run.tables->window) windowSum += w;
  for (int transform = 0; transform < 2; ++transform) {
    const std::vector<LongComplex> reference = testing::LongDoubleFft(run.Windowed(transform));
    long double largest = 0.0L, worst = 0.0L;
    for (int k = 0; k < kBins; ++k) {
      const LongComplex x = reference[k], y = std::conj(reference[(kPoints - k) % kPoints]);
      const long double p0 = std::norm((x + y) / windowSum), p1 = std::norm((x - y) / windowSum);
      const long double mean = (p0 + p1) / 2.0L;
      largest = std::max({largest, p0, p1});
      if (transform == 0)
        worst = std::max({worst, std::fabs(arrays.input0[k] - p0), std::fabs(arrays.input1[k] - p1),
                          std::fabs(arrays.linkedInput[k] - mean)});
      else
        worst = std::max(worst, std::fabs(arrays.outputPower[k] - mean));
    }
    EXPECT_LT(worst, 2.0 * kTransformTolerance * largest) << transform;
  }
}

} // namespace
} // namespace tarvex
