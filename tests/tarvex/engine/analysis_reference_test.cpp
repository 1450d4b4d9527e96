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

// One analysis written plainly: Hann window over the 8192 samples of a
// channel pair, bit-reversed order, radix-2 stages with twiddles made by
// repeated rotation, and the two real channels split from the one transform.
struct ReferenceAnalysis {
  std::vector<double> magnitude[2] = {std::vector<double>(kPoints / 2 + 1),
                                      std::vector<double>(kPoints / 2 + 1)};

  ReferenceAnalysis(const std::vector<double>& ch0, const std::vector<double>& ch1) {
    std::vector<double> window(kPoints), twRe(kPoints), twIm(kPoints);
    double sum = 0.0;
    for (int n = 0; n < kPoints; ++n) {
      window[n] = 0.5 - 0.5 * std::cos(2.0 * kPi * n / kPoints);
      sum += window[n];
    }
    for (int length = 2; length <= kPoints; length *= 2) {
      const double rr = std::cos(-2.0 * kPi / length), ri = std::sin(-2.0 * kPi / length);
      double wr = 1.0, wi = 0.0;
      for (int j = 0; j < length / 2; ++j) {
        twRe[length / 2 + j] = wr;
        twIm[length / 2 + j] = wi;
        const double next = wr * rr - wi * ri;
        wi = wr * ri + wi * rr;
        wr = next;
      }
    }
    std::vector<double> re(kPoints), im(kPoints);
    for (int n = 0; n < kPoints; ++n) {
      const int r = testing::ReverseBits(n, 13);
      re[r] = window[n] * ch0[n];
      im[r] = window[n] * ch1[n];
    }
    testing::RadixTwoStages(re.data(), im.data(), kPoints, twRe.data(), twIm.data());
    for (int k = 0; k <= kPoints / 2; ++k) {
      const int m = (kPoints - k) % kPoints;
      const double pr = re[k] + re[m], pi = im[k] - im[m];
      const double qr = re[k] - re[m], qi = im[k] + im[m];
      magnitude[0][k] = std::sqrt(pr * pr + pi * pi) / sum;
      magnitude[1][k] = std::sqrt(qr * qr + qi * qi) / sum;
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
    double peak = 0.0;
    for (int k = lower; k <= upper; ++k)
      peak = std::max(
          peak,
          std::sqrt((magnitude[0][k] * magnitude[0][k] + magnitude[1][k] * magnitude[1][k]) / 2.0));
    return static_cast<float>(20.0 * std::log10(std::max(peak, 1e-12)));
  }
};

// A snapshot published at the end of hop k shows the analysis of the 8192
// samples before the end of hop k - 1, of the raw input and of the output.
TEST(AnalysisReference, PublishedSpectraAndLevelsEqualAPlainAnalysisBitForBit) {
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
      EXPECT_EQ(s.inputSpectrumDb[j], analyses[0].DisplayDb(j, fs)) << hop << " " << j;
      EXPECT_EQ(s.outputSpectrumDb[j], analyses[1].DisplayDb(j, fs)) << hop << " " << j;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const double frequency = slot == 7 ? 1500.0 : LearnedFilter{}.frequencyHz;
      const int bin = std::clamp(static_cast<int>(frequency * kPoints / fs), 0, 4096);
      const double level = std::max(analyses[0].magnitude[0][bin], analyses[0].magnitude[1][bin]);
      EXPECT_EQ(s.slotLevelDb[slot], static_cast<float>(20.0 * std::log10(std::max(level, 1e-12))))
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
  const double level = std::max(analysis.magnitude[0][4096], analysis.magnitude[1][4096]);
  EXPECT_EQ(s.slotLevelDb[0], static_cast<float>(20.0 * std::log10(std::max(level, 1e-12))));
  EXPECT_GT(s.slotLevelDb[0], -20.0f);
  EXPECT_EQ(s.slotFrequency[0], static_cast<float>(0.49 * fs));
}

} // namespace
} // namespace tarvex
