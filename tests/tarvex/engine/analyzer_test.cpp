#include <gtest/gtest.h>

#include <cmath>

#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

using testing::EngineRig;
using testing::Silence;
using testing::Sine;

// Display bin j centres on 20·(min(0.49·fs, 20000)/20)^(j/255) Hz: a Manual
// notch there reads exactly its depth in the response sweep.
double DisplayFrequency(int j, double fs) {
  return 20.0 * std::pow(std::min(0.49 * fs, 20000.0) / 20.0, j / 255.0);
}

TEST(Analyzer, ResponseSweepSamplesTheDisplayFrequencies) {
  for (double fs : {22050.0, 48000.0, 192000.0}) {
    for (int j : {0, 77, 200, 255}) {
      EngineRig rig(fs);
      rig.SetSlot(3, kSlotEnabled, 1.0f);
      rig.SetSlot(3, kSlotFrequency,
                  static_cast<float>(j == 255 ? 20000.0 : DisplayFrequency(j, fs)));
      rig.SetSlot(3, kSlotQ, 80.0f);
      rig.engine->Prepare(fs, 512);
      rig.Run(fs / 2, Silence());
      const EngineSnapshot s = rig.Snapshot();
      const double expected = -12.0;
      EXPECT_NEAR(s.responseDb[0][j], expected, 0.05) << fs << " " << j;
      EXPECT_NEAR(s.responseDb[1][j], expected, 0.05) << fs << " " << j;
      const int away = j < 128 ? j + 60 : j - 60;
      EXPECT_NEAR(s.responseDb[0][away], 0.0, 0.01) << fs << " " << j;
    }
  }
}

TEST(Analyzer, EmptyBankResponseIsFlatAndSilenceReadsTheFloor) {
  EngineRig rig;
  rig.Run(48000, Silence());
  const EngineSnapshot s = rig.Snapshot();
  for (int j = 0; j < kDisplayBinCount; ++j) {
    EXPECT_EQ(s.responseDb[0][j], 0.0f);
    EXPECT_EQ(s.responseDb[1][j], 0.0f);
    EXPECT_EQ(s.inputSpectrumDb[j], -240.0f);
    EXPECT_EQ(s.outputSpectrumDb[j], -240.0f);
  }
  EXPECT_FALSE(s.signal);
}

TEST(Analyzer, BinCentredSineReadsItsAmplitude) {
  const double fs = 48000.0;
  const double f = 1000.0 * fs / 8192.0;
  EngineRig rig(fs);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotFrequency, static_cast<float>(f + 0.5 * fs / 8192.0));
  rig.SetSlot(0, kSlotDepth, 0.0f);
  rig.Run(8192 + 1024, Sine(0.25, f, fs));
  const EngineSnapshot s = rig.Snapshot();
  EXPECT_NEAR(s.slotLevelDb[0], 20.0 * std::log10(0.25), 1e-4);
  int covering = -1;
  for (int j = 0; j < kDisplayBinCount; ++j)
    if (std::fabs(s.inputSpectrumDb[j] - 20.0 * std::log10(0.25)) < 1e-4) covering = j;
  ASSERT_GE(covering, 0);
  EXPECT_NEAR(DisplayFrequency(covering, fs), f, f * 0.03);
  EXPECT_NEAR(s.outputSpectrumDb[covering], 20.0 * std::log10(0.25), 1e-4);
  EXPECT_TRUE(s.signal);
}

TEST(Analyzer, SecondChannelIsAnalysedOnItsOwn) {
  const double fs = 48000.0;
  const double f = 500.0 * fs / 8192.0;
  EngineRig rig(fs);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotFrequency, static_cast<float>(f + 0.5 * fs / 8192.0));
  rig.SetSlot(0, kSlotDepth, 0.0f);
  rig.Run(8192 + 1024,
          [&](long n, int ch) { return ch ? 0.5 * std::sin(2 * kPi * f * n / fs) : 0.0; });
  const EngineSnapshot s = rig.Snapshot();
  EXPECT_NEAR(s.slotLevelDb[0], 20.0 * std::log10(0.5), 1e-4);
  double peak = -300.0;
  for (float v : s.inputSpectrumDb) peak = std::max(peak, double(v));
  EXPECT_NEAR(peak, 20.0 * std::log10(0.5 / std::sqrt(2.0)), 1e-4);
}

TEST(Analyzer, NeverRunsInManualWithTheAnalyzerOff) {
  EngineRig rig;
  rig.Set(kParamAnalyzer, 0.0f);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotFrequency, 1000.0f);
  rig.Run(48000, Sine(0.5, 1000.0, 48000.0));
  EngineSnapshot s = rig.Snapshot();
  for (int j = 0; j < kDisplayBinCount; ++j) EXPECT_EQ(s.inputSpectrumDb[j], -120.0f);
  EXPECT_FALSE(s.signal);
  EXPECT_EQ(s.slotLevelDb[0], -240.0f);

  rig.SetSlot(0, kSlotDynamic, 1.0f);
  rig.Run(48000, Sine(0.5, 1000.0, 48000.0));
  s = rig.Snapshot();
  EXPECT_GT(s.slotLevelDb[0], -10.0f);
  EXPECT_EQ(s.inputSpectrumDb[100], -120.0f);
}

// Bands longer and shorter than a vector, with the peak in a vector's lanes
// and in the bins left after the last whole vector.
TEST(Analyzer, BandPeakIsTheLargestValueOfTheBand) {
  double m[11] = {0.0, 5.0, 1.0, 9.0, 0.5, 2.0, 7.0, 0.0, 3.0, 8.0, 0.25};
  EXPECT_EQ(BandPeak(0, 2, m), 5.0);
  EXPECT_EQ(BandPeak(4, 10, m), 8.0);
  EXPECT_EQ(BandPeak(0, 10, m), 9.0);
  EXPECT_EQ(BandPeak(10, 10, m), 0.25);
  EXPECT_EQ(BandPeak(7, 7, m), 0.0);
  EXPECT_EQ(BandPeak(3, 2, m), 0.0);
}

} // namespace
} // namespace tarvex
