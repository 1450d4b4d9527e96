#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "tests/support/test_noise.h"
#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

using testing::EngineRig;
using testing::PeakMeter;
using testing::Silence;
using testing::Sine;

std::function<double(long, int)> Noise(double amplitude, unsigned seed = 1) {
  return [amplitude, seed](long n, int ch) { return amplitude * testing::HashNoise(n, ch, seed); };
}

void ExpectPrepareThrows(FeedbackEngine& engine, double fs, unsigned block) {
  try {
    engine.Prepare(fs, block);
    ADD_FAILURE() << "no exception for " << fs << " / " << block;
  } catch (const std::invalid_argument& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid Tarvex preparation");
  }
}

TEST(EnginePreparation, RejectsOutOfRangeAndLeavesTheEngineAsItWas) {
  EngineRig rig(48000.0, 256);
  EngineRig twin(48000.0, 256);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  twin.SetSlot(0, kSlotEnabled, 1.0f);
  rig.Run(3000, Noise(0.3));
  twin.Run(3000, Noise(0.3));
  for (double fs : {22049.9, 192000.1, std::nan(""), std::numeric_limits<double>::infinity()})
    ExpectPrepareThrows(*rig.engine, fs, 256);
  ExpectPrepareThrows(*rig.engine, 48000.0, 0);
  ExpectPrepareThrows(*rig.engine, 48000.0, 65537);

  std::vector<float> a, b;
  rig.Run(20000, Noise(0.3), [&](long, int, float v) { a.push_back(v); });
  twin.Run(20000, Noise(0.3), [&](long, int, float v) { b.push_back(v); });
  EXPECT_EQ(a, b);
  EXPECT_EQ(rig.Snapshot().sampleRate, 48000.0);

  auto engine = FeedbackEngine::Create();
  EXPECT_NO_THROW(engine->Prepare(22050.0, 1));
  EXPECT_NO_THROW(engine->Prepare(192000.0, 65536));
  FeedbackEngine::Destroy(engine);
  EXPECT_EQ(engine, nullptr);
}

TEST(EngineProcessing, SilentBeforePreparationAndIgnoresOversizedCalls) {
  auto engine = FeedbackEngine::Create();
  std::vector<float> in(64, 0.5f), out0(64, 9.0f), out1(64, 9.0f);
  const float* in2[2] = {in.data(), in.data()};
  float* out2[2] = {out0.data(), out1.data()};
  engine->Process(in2, out2, 64, false);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(out0[i] + out1[i], 0.0f);

  engine->Prepare(48000.0, 32);
  std::fill(out0.begin(), out0.end(), 9.0f);
  engine->Process(in2, out2, 33, false);
  engine->Process(in2, out2, -1, false);
  engine->Process(in2, nullptr, 32, false);
  EXPECT_EQ(out0[0], 9.0f);
  engine->Process(in2, out2, 32, false);
  EXPECT_EQ(out0[31], 0.5f);
  EXPECT_EQ(out0[32], 9.0f);

  float* onlySecond[2] = {nullptr, out1.data()};
  engine->Process(nullptr, onlySecond, 32, false);
  EXPECT_EQ(out1[0], 0.0f);
}

TEST(EngineProcessing, DefaultsAreTransparentAndTheInputTrimMissesTheDryPath) {
  EngineRig rig;
  long mismatches = 0;
  auto source = Noise(0.8);
  rig.Run(30000, source, [&](long n, int ch, float v) {
    if (v != static_cast<float>(source(n, ch))) ++mismatches;
  });
  EXPECT_EQ(mismatches, 0);

  EngineRig trimmed;
  trimmed.Set(kParamInput, -24.0f);
  trimmed.Set(kParamMix, 0.0f);
  trimmed.engine->Prepare(48000.0, 512);
  trimmed.Run(10000, source, [&](long n, int ch, float v) {
    if (v != static_cast<float>(source(n, ch))) ++mismatches;
  });
  EXPECT_EQ(mismatches, 0);
}

double SineGainDb(double frequency, float slotFrequency, float depth, float q) {
  EngineRig rig;
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotFrequency, slotFrequency);
  rig.SetSlot(0, kSlotDepth, depth);
  rig.SetSlot(0, kSlotQ, q);
  rig.engine->Prepare(48000.0, 512);
  PeakMeter meter{48000, 96000, 0};
  rig.Run(96000, Sine(0.5, frequency, 48000.0), meter.Sink());
  return 20.0 * std::log10(meter.peak / 0.5);
}

TEST(EngineProcessing, ManualSlotCutsItsDepthAtItsCentreOnly) {
  EXPECT_NEAR(SineGainDb(1000.0, 1000.0f, 12.0f, 24.0f), -12.0, 0.05);
  EXPECT_NEAR(SineGainDb(3000.0, 3000.0f, 24.0f, 8.0f), -24.0, 0.05);
  EXPECT_NEAR(SineGainDb(5000.0, 1000.0f, 12.0f, 24.0f), 0.0, 0.01);
  EXPECT_NEAR(SineGainDb(200.0, 1000.0f, 12.0f, 24.0f), 0.0, 0.01);
}

double WetOf(const EngineRig& rig, int ch, int slot) {
  return rig.Snapshot().sections[ch][slot].wet;
}

TEST(EngineProcessing, AttackFadeInAndFiveMillisecondFadeOut) {
  EngineRig rig;
  rig.Set(kParamAttack, 20.0f);
  rig.Run(512, Noise(0.1));
  rig.SetSlot(2, kSlotEnabled, 1.0f);
  const double full = 1.0 - std::pow(10.0, -0.6);
  rig.Run(512, Noise(0.1));
  const double first = WetOf(rig, 0, 2) / full;
  rig.Run(512, Noise(0.1));
  const double second = WetOf(rig, 0, 2) / full;
  // 16 control updates of 32 samples separate two published hops.
  EXPECT_NEAR((1.0 - second) / (1.0 - first), std::exp(-512.0 / (0.020 * 48000.0)), 1e-9);
  EXPECT_EQ(WetOf(rig, 1, 2), WetOf(rig, 0, 2));

  rig.Run(48000, Noise(0.1));
  EXPECT_DOUBLE_EQ(WetOf(rig, 0, 2), full);
  rig.SetSlot(2, kSlotEnabled, 0.0f);
  rig.Run(256, Noise(0.1));
  const double a = WetOf(rig, 0, 2);
  rig.Run(512, Noise(0.1));
  const double b = WetOf(rig, 0, 2);
  EXPECT_GT(b, 0.0);
  EXPECT_NEAR(b / a, std::exp(-512.0 / (0.005 * 48000.0)), 1e-9);
}

TEST(EngineProcessing, BypassFollowsItsThreeMillisecondCrossfade) {
  EngineRig rig;
  rig.Set(kParamOutput, -24.0f);
  rig.engine->Prepare(48000.0, 512);
  long mismatches = 0;
  rig.Run(
      4096, Noise(0.5),
      [&](long n, int ch, float v) {
        if (v != static_cast<float>(Noise(0.5)(n, ch))) ++mismatches;
      },
      true);
  EXPECT_EQ(mismatches, 0);

  EngineRig dc;
  dc.Set(kParamOutput, -24.0f);
  dc.engine->Prepare(48000.0, 512);
  auto one = [](long, int) { return 1.0; };
  dc.Run(1024, one);
  const double w = std::pow(10.0, -1.2);
  std::vector<double> state;
  dc.Run(
      4096, one,
      [&](long, int ch, float v) {
        if (ch == 0) state.push_back((v - w) / (1.0 - w));
      },
      true);
  const double k = 1.0 - std::exp(-1.0 / (0.003 * 48000.0));
  EXPECT_NEAR(state[0], k, 1e-6);
  EXPECT_NEAR(state[143], 1.0 - std::exp(-1.0), 1e-5);
  EXPECT_NEAR(state[287], 1.0 - std::exp(-2.0), 1e-5);
  EXPECT_EQ(state.back(), 1.0);
}

TEST(EngineProcessing, NonFiniteInputIsSilenceAndNeverReachesOutputOrAnalysis) {
  auto clean = Noise(0.4);
  auto dirty = [&](long n, int ch) {
    if (n % 997 == 5) return std::numeric_limits<double>::quiet_NaN();
    if (n % 1301 == 7)
      return ch ? -std::numeric_limits<double>::infinity()
                : std::numeric_limits<double>::infinity();
    return clean(n, ch);
  };
  auto zeroed = [&](long n, int ch) {
    return (n % 997 == 5 || n % 1301 == 7) ? 0.0 : clean(n, ch);
  };
  EngineRig a, b;
  for (EngineRig* r : {&a, &b}) {
    r->Set(kParamMode, 2.0f);
    r->SetSlot(0, kSlotEnabled, 1.0f);
    r->SetSlot(0, kSlotDepth, 30.0f);
    r->engine->Prepare(48000.0, 512);
  }
  std::vector<float> outA, outB;
  a.Run(40000, dirty, [&](long, int, float v) { outA.push_back(v); });
  b.Run(40000, zeroed, [&](long, int, float v) { outB.push_back(v); });
  EXPECT_EQ(outA, outB);
  const EngineSnapshot s = a.Snapshot();
  for (float v : s.inputSpectrumDb) EXPECT_TRUE(std::isfinite(v));
  EngineMeters m;
  a.engine->ReadMeters(m);
  EXPECT_TRUE(std::isfinite(m.input));
  EXPECT_LE(m.input, 0.4f);

  EngineRig plain;
  float nan = std::numeric_limits<float>::quiet_NaN();
  float out0 = 5.0f, out1 = 5.0f;
  const float* in[2] = {&nan, &nan};
  float* out[2] = {&out0, &out1};
  plain.engine->Process(in, out, 1, false);
  EXPECT_EQ(out0, 0.0f);
  EXPECT_EQ(out1, 0.0f);
}

TEST(EngineProcessing, MetersHoldThePeaksOfTheLastCall) {
  EngineRig rig(48000.0, 64);
  rig.Set(kParamOutput, -6.0f);
  rig.engine->Prepare(48000.0, 64);
  rig.Run(64, [](long n, int ch) { return n == 10 ? (ch ? -0.25 : 0.5) : 0.0; });
  EngineMeters m;
  rig.engine->ReadMeters(m);
  EXPECT_FLOAT_EQ(m.input, 0.5f);
  EXPECT_FLOAT_EQ(m.filtered, 0.5f);
  EXPECT_NEAR(m.output0, 0.5 * std::pow(10.0, -0.3), 1e-6);
  EXPECT_NEAR(m.output1, 0.25 * std::pow(10.0, -0.3), 1e-6);
  EXPECT_EQ(m.output, m.output0);
}

TEST(EngineProcessing, LiveFilterHoldsThenRecoversLinearly) {
  EngineRig rig;
  LearnedSet set{};
  set[5] = {2000.0f, 12.0f, 24.0f, 0.8f, kSlotLive, 0};
  ASSERT_TRUE(rig.engine->RequestLearnedSet(set));
  rig.Run(512 * 10, Silence());
  EXPECT_EQ(rig.Snapshot().slotKind[5], kSlotLive);
  rig.Run(48000 * 29 / 10 - 5120, Silence());
  EXPECT_FLOAT_EQ(rig.Snapshot().slotDepth[5], 12.0f);
  rig.Run(48000 * 26 / 10, Silence());
  EXPECT_NEAR(rig.Snapshot().slotDepth[5], 12.0 * (1.0 - 2.5 / 5.0), 0.02);
  EXPECT_EQ(rig.Learned()[5].depthDb, 12.0f);
  rig.Run(48000 * 24 / 10, Silence());
  EXPECT_NEAR(rig.Snapshot().slotDepth[5], 12.0 * (1.0 - 4.9 / 5.0), 0.02);
  rig.Run(48000 / 5, Silence());
  EXPECT_EQ(rig.Snapshot().slotKind[5], kSlotEmpty);
  EXPECT_EQ(rig.Learned()[5].kind, kSlotEmpty);
  EXPECT_EQ(rig.Learned()[5].frequencyHz, 1000.0f);
}

TEST(EngineProcessing, ManualOverridesTheLearnedFilterOfItsSlot) {
  EngineRig rig;
  LearnedSet set{};
  set[0] = {3000.0f, 9.0f, 10.0f, 1.0f, kSlotFixed, 2};
  ASSERT_TRUE(rig.engine->RequestLearnedSet(set));
  rig.Run(4096, Silence());
  EngineSnapshot s = rig.Snapshot();
  EXPECT_EQ(s.slotKind[0], kSlotFixed);
  EXPECT_EQ(s.sections[0][0].wet, 0.0);
  EXPECT_GT(s.sections[1][0].wet, 0.0);
  EXPECT_EQ(s.fixedCount, 1);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.Run(4096, Silence());
  s = rig.Snapshot();
  EXPECT_EQ(s.slotKind[0], kSlotManual);
  EXPECT_EQ(s.manualCount, 1);
  EXPECT_GT(s.sections[0][0].wet, 0.0);
  rig.SetSlot(0, kSlotEnabled, 0.0f);
  rig.Run(4096, Silence());
  EXPECT_EQ(rig.Snapshot().slotKind[0], kSlotFixed);
}

TEST(EngineProcessing, DynamicSlotOpensAboveItsThreshold) {
  EngineRig rig;
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotFrequency, 1000.0f);
  rig.SetSlot(0, kSlotDynamic, 1.0f);
  rig.SetSlot(0, kSlotThreshold, -30.0f);
  rig.Set(kParamDynamicKnee, 0.0f);
  rig.Run(48000, Sine(0.001, 1000.0, 48000.0));
  EXPECT_LT(rig.Snapshot().slotDepth[0], 0.01f);
  rig.Run(48000, Sine(0.5, 1000.0, 48000.0));
  const EngineSnapshot open = rig.Snapshot();
  // 1000 Hz lies 0.67 bins above the bin the level is read at.
  EXPECT_NEAR(open.slotLevelDb[0], 20.0 * std::log10(0.5), 3.0);
  EXPECT_NEAR(open.slotDepth[0], 12.0f, 0.01f);
}

} // namespace
} // namespace tarvex
