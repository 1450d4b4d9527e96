#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/test_noise.h"
#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

using testing::EngineRig;

// A sine growing by rateDb per second from startDb (dBFS), on the channels
// whose bit is set in channelMask.
std::function<double(long, int)> GrowingSine(double startDb, double rateDb, double frequency,
                                             double fs, int channelMask = 3) {
  return [=](long n, int ch) {
    if (!((channelMask >> ch) & 1)) return 0.0;
    const double t = n / fs;
    return std::pow(10.0, (startDb + rateDb * t) / 20.0) * std::sin(2.0 * kPi * frequency * t);
  };
}

int CountKind(const LearnedSet& set, int kind) {
  int count = 0;
  for (const LearnedFilter& f : set) count += f.kind == kind;
  return count;
}

int FirstOfKind(const LearnedSet& set, int kind) {
  for (int s = 0; s < kSlotCount; ++s)
    if (set[s].kind == kind) return s;
  return -1;
}

// Processes block by block until a filter of the kind appears; returns the
// number of samples processed then, or -1 when none appeared within frames.
long RunUntilFilter(EngineRig& rig, long frames, const std::function<double(long, int)>& source,
                    int kind = kSlotLive) {
  const long end = rig.position + frames;
  while (rig.position < end) {
    rig.Run(std::min<long>(rig.block, end - rig.position), source);
    if (CountKind(rig.Learned(), kind) > 0) return rig.position;
  }
  return -1;
}

TEST(Detector, GrowingHowlGetsALiveFilterOnThePredictedAnalysis) {
  // Analyses start every 512 samples once the ring is full (sample 8192) and
  // take 495 samples: analysis k completes in sample 8687 + 512·k (counted
  // from 1). With a hop of 512/48000 s, persistence reaches 500 ms on the
  // 47th analysis (k = 46): sample 32,239.
  const double fs = 48000.0;
  const double f = 171.0 * fs / 8192.0;
  EngineRig rig(fs, 512);
  rig.Set(kParamMode, 2.0f);
  rig.engine->Prepare(fs, 512);
  auto howl = GrowingSine(-40.0, 3.0, f, fs);
  rig.Run(32238, howl);
  EXPECT_EQ(CountKind(rig.Learned(), kSlotLive), 0);
  EXPECT_NEAR(rig.Snapshot().candidateFrequency, f, 0.5);
  rig.Run(1, howl);
  const LearnedSet set = rig.Learned();
  ASSERT_EQ(CountKind(set, kSlotLive), 1);
  const LearnedFilter& live = set[0];
  EXPECT_NEAR(live.frequencyHz, f, 0.5);
  EXPECT_EQ(live.depthDb, 12.0f);
  EXPECT_EQ(live.q, 24.0f);
  EXPECT_EQ(live.channel, 0);
  EXPECT_GT(live.confidence, 0.5f);
  EXPECT_LE(live.confidence, 1.0f);
}

TEST(Detector, SteadyToneIsLeftInLiveAssistAndLearnedOnCommandInLearnFixed) {
  const double fs = 48000.0;
  EngineRig live(fs);
  live.Set(kParamMode, 2.0f);
  EXPECT_EQ(RunUntilFilter(live, 5 * 48000, testing::Sine(0.1, 1000.0, fs)), -1);

  EngineRig learn(fs);
  learn.Set(kParamMode, 1.0f);
  EXPECT_EQ(RunUntilFilter(learn, 2 * 48000, testing::Sine(0.1, 1000.0, fs), kSlotFixed), -1);
  learn.engine->QueueCommand(kCommandStartLearning);
  const long start = learn.position;
  const long placed = RunUntilFilter(learn, 2 * 48000, testing::Sine(0.1, 1000.0, fs), kSlotFixed);
  ASSERT_GT(placed, 0);
  EXPECT_NEAR((placed - start) / fs, 0.5, 0.03);
  const LearnedSet set = learn.Learned();
  const LearnedFilter& fixed = set[FirstOfKind(set, kSlotFixed)];
  EXPECT_NEAR(fixed.frequencyHz, 1000.0, 1.0);
  EXPECT_EQ(fixed.depthDb, 12.0f);
  EXPECT_EQ(fixed.q, 24.0f);
  EXPECT_EQ(CountKind(set, kSlotFixed), 1);
  EXPECT_TRUE(learn.Snapshot().learning);
}

TEST(Detector, AToneStartingDuringTheShowIsLeftUnlessItGrows) {
  // Each tone starts at 3 s, long after the analysis ring filled with noise.
  const double fs = 48000.0;
  const struct {
    double startDb, rateDb;
    bool notched;
  } cases[] = {{-20.0, 0.0, false}, {-40.0, 0.0, false}, {-60.0, 20.0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.startDb << " dBFS growing " << c.rateDb << " dB/s");
    EngineRig rig(fs);
    rig.Set(kParamMode, 2.0f);
    auto source = [&](long n, int ch) {
      const double noise = 3e-4 * testing::HashNoise(n, ch, 9);
      return n < 3 * 48000
                 ? noise
                 : noise + GrowingSine(c.startDb, c.rateDb, 1000.0, fs)(n - 3 * 48000, ch);
    };
    EXPECT_EQ(RunUntilFilter(rig, 8 * 48000, source) > 0, c.notched);
  }
}

TEST(Detector, FixedLimitZeroNeverLearns) {
  EngineRig rig;
  rig.Set(kParamMode, 1.0f);
  rig.Set(kParamFixedLimit, 0.0f);
  rig.engine->QueueCommand(kCommandStartLearning);
  EXPECT_EQ(RunUntilFilter(rig, 3 * 48000, testing::Sine(0.1, 1000.0, 48000.0), kSlotFixed), -1);
}

TEST(Detector, HarmonicsBlockUnlessTheGuardIsOff) {
  const double fs = 48000.0;
  auto rich = [&](long n, int ch) {
    return GrowingSine(-40.0, 3.0, 700.0, fs)(n, ch) + GrowingSine(-43.0, 3.0, 1400.0, fs)(n, ch);
  };
  EngineRig guarded(fs);
  guarded.Set(kParamMode, 2.0f);
  EXPECT_EQ(RunUntilFilter(guarded, 3 * 48000, rich), -1);

  EngineRig open(fs);
  open.Set(kParamMode, 2.0f);
  open.Set(kParamHarmonicGuard, 0.0f);
  EXPECT_GT(RunUntilFilter(open, 3 * 48000, rich), 0);
}

TEST(Detector, IgnoresPeaksBelowTheFloorOutsideTheRangeOrDrifting) {
  const double fs = 48000.0;
  auto runLive = [&](const std::function<double(long, int)>& source) {
    EngineRig rig(fs);
    rig.Set(kParamMode, 2.0f);
    return RunUntilFilter(rig, 4 * 48000, source);
  };
  EXPECT_EQ(runLive(GrowingSine(-90.0, 3.0, 1000.0, fs)), -1);
  EXPECT_EQ(runLive(GrowingSine(-40.0, 3.0, 60.0, fs)), -1);
  EXPECT_EQ(runLive(GrowingSine(-40.0, 3.0, 17000.0, fs)), -1);
  auto drifting = [&](long n, int ch) {
    const double frequency = (n / 14400) % 2 ? 1100.0 : 1000.0;
    return GrowingSine(-40.0, 3.0, frequency, fs)(n, ch);
  };
  EXPECT_EQ(runLive(drifting), -1);
  EXPECT_GT(runLive(GrowingSine(-40.0, 3.0, 1000.0, fs)), 0);
}

TEST(Detector, LowFrequencyHowlInsideTheMainLobeOfItsSubharmonicsIsFound) {
  const double fs = 192000.0;
  EngineRig rig(fs);
  rig.Set(kParamMode, 2.0f);
  const long placed =
      RunUntilFilter(rig, static_cast<long>(2 * fs), GrowingSine(-40.0, 3.0, 94.0, fs));
  ASSERT_GT(placed, 0);
  EXPECT_NEAR(rig.Learned()[0].frequencyHz, 94.0, 12.0);
}

// Tone A grows until it gets a filter, then tone B takes over; returns the
// seconds between the two placements, or -1 when B got none.
double SecondPlacementDelay(float cooldown, float liveLimit) {
  const double fs = 48000.0;
  EngineRig rig(fs);
  rig.Set(kParamMode, 2.0f);
  rig.Set(kParamPersistence, 100.0f);
  rig.Set(kParamCooldown, cooldown);
  rig.Set(kParamLiveLimit, liveLimit);
  long switchAt = -1;
  auto source = [&](long n, int ch) {
    if (switchAt < 0 || n < switchAt) return GrowingSine(-40.0, 6.0, 1000.0, fs)(n, ch);
    return GrowingSine(-20.0, 6.0, 2500.0, fs)(n - switchAt, ch);
  };
  const long first = RunUntilFilter(rig, 3 * 48000, source);
  if (first < 0) return -2.0;
  switchAt = first;
  while (rig.position < first + 3 * 48000) {
    rig.Run(rig.block, source);
    if (CountKind(rig.Learned(), kSlotLive) > 1) return (rig.position - first) / fs;
  }
  return -1.0;
}

TEST(Detector, CooldownSpacesPlacementsAndTheLiveLimitCapsThem) {
  const double slow = SecondPlacementDelay(1.0f, 8.0f);
  EXPECT_GE(slow, 1.0);
  EXPECT_LT(slow, 1.1);
  const double fast = SecondPlacementDelay(0.1f, 8.0f);
  EXPECT_GT(fast, 0.1);
  EXPECT_LT(fast, 0.5);
  EXPECT_EQ(SecondPlacementDelay(0.1f, 1.0f), -1.0);
}

TEST(Detector, DualMonoPlacesAFilterOnTheHowlingChannelOnly) {
  const double fs = 48000.0;
  EngineRig rig(fs);
  rig.Set(kParamMode, 2.0f);
  rig.Set(kParamRouting, 1.0f);
  ASSERT_GT(RunUntilFilter(rig, 3 * 48000, GrowingSine(-40.0, 3.0, 1500.0, fs, 2)), 0);
  const LearnedSet set = rig.Learned();
  const int slot = FirstOfKind(set, kSlotLive);
  EXPECT_EQ(set[slot].channel, 2);
  rig.Run(2048, GrowingSine(-40.0, 3.0, 1500.0, fs, 2));
  const EngineSnapshot s = rig.Snapshot();
  EXPECT_EQ(s.sections[0][slot].wet, 0.0);
  EXPECT_GT(s.sections[1][slot].wet, 0.0);
}

TEST(Detector, LiveFiltersFreezeIntoFixedAndClear) {
  const double fs = 48000.0;
  EngineRig rig(fs);
  rig.Set(kParamMode, 2.0f);
  ASSERT_GT(RunUntilFilter(rig, 3 * 48000, GrowingSine(-40.0, 3.0, 1500.0, fs)), 0);
  rig.engine->QueueCommand(kCommandFreezeLive);
  rig.Run(1, testing::Silence());
  EXPECT_EQ(CountKind(rig.Learned(), kSlotFixed), 1);
  EXPECT_EQ(CountKind(rig.Learned(), kSlotLive), 0);
  rig.engine->QueueCommand(kCommandClearFixed);
  rig.Run(1, testing::Silence());
  EXPECT_EQ(CountKind(rig.Learned(), kSlotFixed), 0);
}

// Closed loop: microphone = source + loudspeaker through a delay and one
// resonant room mode; loudspeaker = engine output × a slowly rising gain.
TEST(Detector, FeedbackLoopHowlGetsNotchedAndDecays) {
  const double fs = 48000.0;
  const int block = 32;
  const int delay = 40;
  const double mode = 1200.0;
  EngineRig rig(fs, block);
  rig.Set(kParamMode, 2.0f);
  rig.engine->Prepare(fs, block);

  const double w = 2.0 * kPi * mode / fs;
  const double alpha = std::sin(w) / (2.0 * 20.0);
  const double b0 = alpha / (1.0 + alpha), a1 = -2.0 * std::cos(w) / (1.0 + alpha),
               a2 = (1.0 - alpha) / (1.0 + alpha);
  std::vector<double> speaker(10 * 48000, 0.0);
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  testing::NoiseSequence noiseSource(12345);
  long placedAt = -1;
  double levelAtPlacement = 0.0, levelAfter = 0.0, loudestBefore = 0.0;
  std::vector<float> in(block), out0(block), out1(block);
  for (long start = 0; start + block <= static_cast<long>(speaker.size()); start += block) {
    for (int i = 0; i < block; ++i) {
      const long n = start + i;
      const double x = n >= delay ? speaker[n - delay] : 0.0;
      const double y = b0 * x - b0 * x2 - a1 * y1 - a2 * y2;
      x2 = x1;
      x1 = x;
      y2 = y1;
      y1 = y;
      const double gain = std::min(0.8 + 0.5 * n / (6.0 * fs), 1.3);
      const double noise = 0.006 * noiseSource.Next();
      in[i] = static_cast<float>(noise + gain * y);
    }
    const float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    rig.engine->Process(ins, outs, block, false);
    double peak = 0.0;
    for (int i = 0; i < block; ++i) {
      speaker[start + i] = out0[i];
      peak = std::max(peak, std::fabs(double(out0[i])));
    }
    if (placedAt < 0) {
      loudestBefore = std::max(loudestBefore, peak);
      if (CountKind(rig.Learned(), kSlotLive) > 0) {
        placedAt = start + block;
        levelAtPlacement = peak;
      }
    } else if (start >= placedAt + 48000 / 2 && start < placedAt + 48000) {
      levelAfter = std::max(levelAfter, peak);
    }
  }
  ASSERT_GT(placedAt, 0);
  const LearnedSet set = rig.Learned();
  const int slot = FirstOfKind(set, kSlotLive);
  ASSERT_GE(slot, 0);
  EXPECT_NEAR(set[slot].frequencyHz, mode, 30.0);
  EXPECT_GT(levelAtPlacement, 0.01);
  EXPECT_LT(levelAfter, levelAtPlacement * 0.1);
}

} // namespace
} // namespace tarvex
