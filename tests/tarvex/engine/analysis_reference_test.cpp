#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/reference_fft.h"
#include "tests/support/test_noise.h"
#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

constexpr int kPoints = 8192;

// Display values and slot levels are within this many dB of the long-double
// analysis: the float they are stored in rounds to about 4e-6 dB at -60 dB,
// and the double analysis itself is accurate to about 1e-13 of the largest
// bin.
constexpr float kDbTolerance = 1e-4f;

// One analysis written plainly in long double: Hann window over the 8192
// samples of a channel pair, one complex transform of the pair, and the two
// real channels split from it.
struct ReferenceAnalysis {
  std::vector<long double> magnitude[2] = {std::vector<long double>(kPoints / 2 + 1),
                                           std::vector<long double>(kPoints / 2 + 1)};

  ReferenceAnalysis(const std::vector<double>& ch0, const std::vector<double>& ch1) {
    std::vector<testing::LongComplex> x(kPoints);
    long double sum = 0.0L;
    for (int n = 0; n < kPoints; ++n) {
      const long double w = 0.5L - 0.5L * std::cos(2.0L * kPiLong * n / kPoints);
      sum += w;
      x[n] = testing::LongComplex(w * ch0[n], w * ch1[n]);
    }
    const std::vector<testing::LongComplex> f = testing::LongDoubleFft(x);
    for (int k = 0; k <= kPoints / 2; ++k) {
      const testing::LongComplex y = std::conj(f[(kPoints - k) % kPoints]);
      magnitude[0][k] = std::abs(f[k] + y) / sum;
      magnitude[1][k] = std::abs(f[k] - y) / sum;
    }
  }

  float DisplayDb(int j, double fs) const {
    const double ratio = std::min(0.49 * fs, 20000.0) / 20.0;
    const int lower = static_cast<int>(std::clamp(
        std::floor(20.0 * std::pow(ratio, std::max(j - 0.5, 0.0) / 255.0) * kPoints / fs), 0.0,
        4096.0));
    const int upper = static_cast<int>(std::clamp(
        std::ceil(20.0 * std::pow(ratio, std::min(j + 0.5, 255.0) / 255.0) * kPoints / fs), 0.0,
        4096.0));
    long double peak = 0.0L;
    for (int k = lower; k <= upper; ++k)
      peak = std::max(
          peak, std::sqrt((magnitude[0][k] * magnitude[0][k] + magnitude[1][k] * magnitude[1][k]) /
                          2.0L));
    return LevelDb(peak);
  }

  static float LevelDb(long double magnitude) {
    return static_cast<float>(20.0L * std::log10(std::max(magnitude, 1e-12L)));
  }
};

// A snapshot published at the end of hop k shows the analysis of the 8192
// samples before the end of hop k - 1, of the raw input and of the output.
TEST(AnalysisReference, PublishedSpectraAndLevelsMatchALongDoubleAnalysis) {
  const double fs = 44100.0;
  testing::EngineRig rig(fs, 300);
  rig.SetSlot(7, kSlotEnabled, 1.0f);
  rig.SetSlot(7, kSlotFrequency, 1500.0f);
  rig.SetSlot(7, kSlotQ, 4.0f);
  std::vector<double> samples[2][2]; // [input, output][channel]
  testing::NoiseSequence noise(21);
  auto source = [&](long n, int ch) {
    const double t = n / fs;
    const double value =
        0.05 * noise.Next() + (ch ? 0.2 : 0.5) * std::sin(2.0 * kPi * (ch ? 3100.0 : 1500.0) * t);
    samples[0][ch].push_back(static_cast<float>(value));
    return value;
  };
  auto sink = [&](long, int ch, float v) { samples[1][ch].push_back(v); };

  int checked = 0;
  for (int hop = 1; hop <= 24; ++hop) {
    rig.Run(512, source, sink);
    if (hop < 18 || hop % 3 != 0) continue;
    const EngineSnapshot s = rig.Snapshot();
    const long end = (hop - 1) * 512L;
    ReferenceAnalysis analyses[2] = {
        {std::vector<double>(samples[0][0].begin() + end - kPoints, samples[0][0].begin() + end),
         std::vector<double>(samples[0][1].begin() + end - kPoints, samples[0][1].begin() + end)},
        {std::vector<double>(samples[1][0].begin() + end - kPoints, samples[1][0].begin() + end),
         std::vector<double>(samples[1][1].begin() + end - kPoints, samples[1][1].begin() + end)}};
    for (int j = 0; j < kDisplayBinCount; ++j) {
      EXPECT_NEAR(s.inputSpectrumDb[j], analyses[0].DisplayDb(j, fs), kDbTolerance)
          << hop << " " << j;
      EXPECT_NEAR(s.outputSpectrumDb[j], analyses[1].DisplayDb(j, fs), kDbTolerance)
          << hop << " " << j;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const double frequency = slot == 7 ? 1500.0 : LearnedFilter{}.frequencyHz;
      const int bin = std::clamp(static_cast<int>(frequency * kPoints / fs), 0, 4096);
      const long double level =
          std::max(analyses[0].magnitude[0][bin], analyses[0].magnitude[1][bin]);
      EXPECT_NEAR(s.slotLevelDb[slot], ReferenceAnalysis::LevelDb(level), kDbTolerance)
          << hop << " " << slot;
    }
    EXPECT_TRUE(s.signal);
    ++checked;
  }
  EXPECT_EQ(checked, 3);
}

// At 22050 Hz a slot at 20000 Hz lies above the analysed range: it is shown
// and designed at 0.49·fs and its level is read at the last bin, 4096.
TEST(AnalysisReference, SlotAboveTheAnalysedRangeReadsTheLastBin) {
  const double fs = 22050.0;
  testing::EngineRig rig(fs, 512);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotFrequency, 20000.0f);
  std::vector<double> input[2];
  testing::NoiseSequence noise(4);
  auto source = [&](long n, int ch) {
    const double value = 0.01 * noise.Next() + (ch ? 0.3 : 0.1) * std::cos(kPi * (n + 0.25 * ch));
    input[ch].push_back(static_cast<float>(value));
    return value;
  };
  const int hops = 20;
  rig.Run(hops * 512L, source);
  const EngineSnapshot s = rig.Snapshot();
  const long end = (hops - 1) * 512L;
  const ReferenceAnalysis analysis(
      std::vector<double>(input[0].begin() + end - kPoints, input[0].begin() + end),
      std::vector<double>(input[1].begin() + end - kPoints, input[1].begin() + end));
  const long double level = std::max(analysis.magnitude[0][4096], analysis.magnitude[1][4096]);
  EXPECT_NEAR(s.slotLevelDb[0], ReferenceAnalysis::LevelDb(level), kDbTolerance);
  EXPECT_GT(s.slotLevelDb[0], -20.0f);
  EXPECT_EQ(s.slotFrequency[0], static_cast<float>(0.49 * fs));
}

} // namespace
} // namespace tarvex
