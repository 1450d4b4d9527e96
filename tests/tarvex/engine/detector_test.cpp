#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

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
  // Each tone starts at 3 s, long after the analysis ring filled with noise
  // or with silence.
  const double fs = 48000.0;
  const struct {
    double startDb, rateDb, noiseAmplitude;
    bool notched;
  } cases[] = {{-20.0, 0.0, 3e-4, false},
               {-40.0, 0.0, 3e-4, false},
               {-20.0, 0.0, 0.0, false},
               {-60.0, 20.0, 3e-4, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.startDb << " dBFS growing " << c.rateDb
                                      << " dB/s over noise " << c.noiseAmplitude);
    EngineRig rig(fs);
    rig.Set(kParamMode, 2.0f);
    auto source = [&](long n, int ch) {
      const double noise = c.noiseAmplitude * testing::HashNoise(n, ch, 9);
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

double Db(double db) { return std::pow(10.0, db / 20.0); }

// White noise at an RMS level in dBFS.
double Bed(long n, int ch, double dbfs) {
  return Db(dbfs) * std::sqrt(3.0) * testing::HashNoise(n, ch, 3);
}

// A 2 kHz tone appears at -50 dBFS over a -60 dBFS bed at 1 s and climbs at
// each rate until something holds it at -6 dBFS.
TEST(Detector, AHowlIsCaughtHoweverFastItRoseBeforeSomethingHeldIt) {
  const struct {
    double rateDb, fs;
    float persistence;
    double within; // s after the onset
  } cases[] = {{600.0, 44100.0, 500.0f, 0.75}, {1000.0, 44100.0, 500.0f, 0.75},
               {600.0, 48000.0, 500.0f, 0.75}, {1500.0, 48000.0, 500.0f, 0.75},
               {600.0, 96000.0, 500.0f, 0.75}, {1000.0, 96000.0, 500.0f, 0.75},
               {200.0, 48000.0, 100.0f, 0.22}, {1000.0, 48000.0, 100.0f, 0.22}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.rateDb << " dB/s, " << c.fs << " Hz, " << c.persistence);
    EngineRig rig(c.fs, 256);
    rig.Set(kParamMode, 2.0f);
    rig.Set(kParamPersistence, c.persistence);
    const long onset = static_cast<long>(c.fs);
    auto source = [&](long n, int ch) {
      const double t = (n - onset) / c.fs;
      const double howl = Db(std::min(-50.0 + c.rateDb * t, -6.0)) * std::sin(2 * kPi * 2000 * t);
      return Bed(n, ch, -60.0) + (n >= onset ? howl : 0.0);
    };
    rig.Run(onset, source);
    const double seconds = (RunUntilFilter(rig, onset, source) - onset) / c.fs;
    EXPECT_GT(seconds, c.persistence * 0.001);
    EXPECT_LE(seconds, c.within);
  }
}

// Engine output -> a room: a 6 ms direct path, six reflections and a diffuse
// tail, then a Q 3 band-pass near 2 kHz -> a gain excessDb above the room's
// largest in-phase gain -> a limiter with a 0.5 ceiling -> engine input; at
// the microphone a speech-like source peaking near -35 dBFS: noise falling
// above 800 Hz in four syllables a second.
TEST(Detector, AHowlingLoopThatALimiterHoldsIsBroughtDown) {
  const double fs = 48000.0;
  testing::NoiseSequence random(2);
  auto unit = [&] { return random.Next() + 0.5; };
  std::vector<std::pair<int, double>> taps{{static_cast<int>(0.006 * fs), 1.0}};
  for (int i = 0; i < 66; ++i) {
    const double sign = i < 6 && random.Next() < 0.0 ? -1.0 : 1.0;
    const double t = i < 6 ? 0.007 + 0.025 * unit() : 0.03 + 0.12 * unit();
    const double gain =
        i < 6 ? 0.3 + 0.4 * unit() : 0.3 * random.Next() * std::exp((0.03 - t) / 0.05);
    taps.push_back({static_cast<int>(t * fs), sign * gain});
  }
  const double w0 = 2.0 * kPi * (1900.0 + 200.0 * unit()) / fs, alpha = std::sin(w0) / 6.0;
  const double b0 = alpha / (1 + alpha), a1 = -2 * std::cos(w0) / (1 + alpha),
               a2 = (1 - alpha) / (1 + alpha);
  double inPhase = 0.0;
  for (double f = 20.0; f < 20000.0; f += 0.5) {
    std::complex<double> h = 0.0;
    for (const auto& [delay, gain] : taps) h += std::polar(gain, -2 * kPi * f / fs * delay);
    const std::complex<double> z = std::polar(1.0, -2 * kPi * f / fs);
    inPhase = std::max(inPhase, (h * b0 * (1.0 - z * z) / (1.0 + a1 * z + a2 * z * z)).real());
  }
  const struct {
    double excessDb;
    float persistence;
    double firstWithin; // s after the loop closed
  } cases[] = {{6.0, 500.0f, 0.75}, {3.0, 100.0f, 0.30}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "+" << c.excessDb << " dB, " << c.persistence << " ms");
    EngineRig rig(fs, 32);
    rig.Set(kParamMode, 2.0f);
    rig.Set(kParamPersistence, c.persistence);
    const long length = static_cast<long>(7 * fs);
    std::vector<double> speaker(length, 0.0);
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0, held = 0, voice = 0, limited = 0, endSquares = 0;
    long placed = -1;
    // Both input channels take the one microphone, worked out once per sample.
    auto microphone = [&](long n, int ch) {
      if (ch == 1) return limited;
      double x = 0.0;
      for (const auto& [delay, gain] : taps) x += n >= delay ? gain * speaker[n - delay] : 0.0;
      const double y = b0 * (x - x2) - a1 * y1 - a2 * y2;
      x2 = x1, x1 = x, y2 = y1, y1 = y;
      voice = 0.9 * voice + 0.1 * testing::HashNoise(n, 0, 23);
      const double syllable = std::max(std::cos(2.0 * kPi * 4.0 * n / fs), 0.0);
      const double mic = Db(-35.0) * 4.0 * syllable * voice + Db(c.excessDb) / inPhase * y;
      held = std::max(std::fabs(mic), held * std::exp(-1.0 / (0.1 * fs)));
      limited = held > 0.5 ? mic * 0.5 / held : mic;
      return limited;
    };
    auto loudspeaker = [&](long n, int ch, float v) {
      if (ch == 0) speaker[n] = v;
      if (ch == 0 && n >= length - fs / 2) endSquares += double(v) * v;
    };
    while (rig.position < length) {
      rig.Run(rig.block, microphone, loudspeaker);
      if (placed < 0 && CountKind(rig.Learned(), kSlotLive) > 0) placed = rig.position;
    }
    EXPECT_GT(placed, 0);
    EXPECT_LE(placed / fs, c.firstWithin);
    EXPECT_LT(10.0 * std::log10(endSquares / (fs / 2)), -35.0);
  }
}

// 48 notes of a kind, 2 s each at random pitches over the three octaves from
// 220 Hz, -26 to -12 dBFS, with a 20 ms attack, half a second apart over a
// -55 dBFS bed: steady, struck (decaying with 0.8 s) or flute-like (a 5 Hz
// vibrato of 0.4 %, a little tremolo and breath). One kind a test, so that
// the kinds run side by side.
enum NoteKind { kSteady, kStruck, kFlute };
class DetectorNotes : public ::testing::TestWithParam<NoteKind> {};

TEST_P(DetectorNotes, StayingSwayingOrDecayingKeepTheirSound) {
  const double fs = 48000.0;
  const long spacing = static_cast<long>(2.5 * fs), length = static_cast<long>(2.0 * fs);
  const NoteKind kind = GetParam();
  testing::NoiseSequence random(kind + 11u);
  std::vector<double> pitch(48), amplitude(48);
  for (int i = 0; i < 48; ++i) {
    pitch[i] = 220.0 * std::pow(2.0, 3.0 * (random.Next() + 0.5));
    amplitude[i] = Db(-26.0 + 14.0 * (random.Next() + 0.5));
  }
  auto source = [&](long n, int ch) {
    const long i = n / spacing - 1, at = n % spacing;
    if (i < 0 || i >= 48 || at >= length) return Bed(n, ch, -55.0);
    const double t = at / fs;
    double a = amplitude[i] * std::min(t / 0.02, 1.0) * std::min((length - at) / (0.03 * fs), 1.0);
    double phase = 2.0 * kPi * pitch[i] * t, breath = 0.0;
    if (kind == kStruck) a *= std::exp(-t / 0.8);
    if (kind == kFlute) {
      phase += pitch[i] * 0.004 / 5.0 * (1.0 - std::cos(2.0 * kPi * 5.0 * t));
      a *= 1.0 + 0.06 * std::sin(2.0 * kPi * 5.0 * t);
      breath = 0.03 * a * testing::HashNoise(n, 0, 17);
    }
    return Bed(n, ch, -55.0) + breath + a * std::sin(phase);
  };
  EngineRig rig(fs);
  rig.Set(kParamMode, 2.0f);
  LearnedSet before{};
  int placed = 0;
  while (rig.position < 49 * spacing) {
    rig.Run(rig.block, source);
    const LearnedSet now = rig.Learned();
    for (int s = 0; s < kSlotCount; ++s)
      placed += now[s].kind == kSlotLive &&
                (before[s].kind != kSlotLive || before[s].frequencyHz != now[s].frequencyHz);
    before = now;
  }
  EXPECT_LE(placed, 3);
}

std::string KindName(const ::testing::TestParamInfo<NoteKind>& kind) {
  const char* const names[] = {"Steady", "Struck", "Flute"};
  return names[kind.param];
}

INSTANTIATE_TEST_SUITE_P(Kinds, DetectorNotes, ::testing::Values(kSteady, kStruck, kFlute),
                         KindName);

} // namespace
} // namespace tarvex
