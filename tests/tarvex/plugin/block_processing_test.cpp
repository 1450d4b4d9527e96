#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "tarvex/engine/feedback_engine.h"
#include "tests/support/chunk_sizes.h"
#include "tests/tarvex/plugin/tarvex_rig.h"

namespace tarvex {
namespace {

using testing::TestTarvex;

constexpr double kRate = 48000.0;
// Long enough for several analyses, so the detector places Live filters
// while the blocks run.
constexpr int kTotalFrames = 3 * 8192 + 777;

// Live Assist with a manual cut, a trim and a partial mix, so every part of
// the signal path shapes the output.
ParamValues BusyValues() {
  ParamValues v = DefaultParamValues();
  v[kParamMode] = 2.0f;
  v[kParamInput] = -3.0f;
  v[kParamMix] = 80.0f;
  v[kParamPersistence] = 100.0f;
  v[kParamGrowth] = 0.0f;
  v[SlotParamIndex(0, kSlotEnabled)] = 1.0f;
  v[SlotParamIndex(0, kSlotFrequency)] = 1000.0f;
  return v;
}

struct Audio {
  std::vector<float> ch[2];
};

// A howl at 2.5 kHz over a tone and different noise on each channel.
Audio MakeInput() {
  Audio a;
  unsigned seed = 12345u;
  for (int c = 0; c < 2; ++c) a.ch[c].resize(kTotalFrames);
  for (int n = 0; n < kTotalFrames; ++n) {
    for (int c = 0; c < 2; ++c) {
      seed = seed * 1664525u + 1013904223u;
      const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.02;
      a.ch[c][n] = static_cast<float>(
          0.4 * std::sin(2.0 * testing::kPi * 2500.0 * n / kRate) +
          (c + 1) * 0.1 * std::sin(2.0 * testing::kPi * 440.0 * n / kRate) + noise);
    }
  }
  return a;
}

// One engine run over the whole signal, as the instance should route it.
Audio ReferenceRun(const Audio& input, int nIn, int nOut, std::uint64_t silenceFlags) {
  auto engine = FeedbackEngine::Create();
  const ParamValues values = BusyValues();
  engine->SetParams(values.data());
  engine->Prepare(kRate, kTotalFrames);
  const float* in0 = nIn >= 1 && !(silenceFlags & 1u) ? input.ch[0].data() : nullptr;
  const float* in1 = nIn == 2 ? (silenceFlags & 2u ? nullptr : input.ch[1].data()) : in0;
  const float* in[2] = {in0, in1};
  Audio out;
  out.ch[0].resize(kTotalFrames);
  out.ch[1].resize(kTotalFrames);
  float* outs[2] = {out.ch[0].data(), out.ch[1].data()};
  engine->Process(in, outs, kTotalFrames, false);
  if (nOut == 1)
    for (int n = 0; n < kTotalFrames; ++n)
      out.ch[0][n] = static_cast<float>((static_cast<double>(out.ch[0][n]) + out.ch[1][n]) * 0.5);
  return out;
}

// The instance fed in host blocks of blockFrames; its outputs start filled
// with garbage so that anything left unwritten shows.
Audio InstanceRun(TestTarvex& plug, const Audio& input, int nIn, int nOut, int blockFrames) {
  plug.SetChannelConnections(plugkit::kDirectionInput, 0, 2, false);
  plug.SetChannelConnections(plugkit::kDirectionInput, 0, nIn, true);
  plug.SetChannelConnections(plugkit::kDirectionOutput, 0, 2, false);
  plug.SetChannelConnections(plugkit::kDirectionOutput, 0, nOut, true);
  Audio out;
  out.ch[0].assign(kTotalFrames, 7.0f);
  out.ch[1].assign(kTotalFrames, 7.0f);
  for (int pos = 0; pos < kTotalFrames; pos += blockFrames) {
    const int n = std::min(blockFrames, kTotalFrames - pos);
    float* ins[2] = {const_cast<float*>(input.ch[0].data()) + pos,
                     const_cast<float*>(input.ch[1].data()) + pos};
    float* outs[2] = {out.ch[0].data() + pos, out.ch[1].data() + pos};
    plug.ProcessBlock(ins, outs, n);
  }
  return out;
}

void PrepareBusy(TestTarvex& plug) {
  plug.ApplyParamValues(BusyValues(), false);
  plug.SetSampleRate(kRate);
  plug.OnActivate(true);
  ASSERT_TRUE(plug.IsReady());
}

const Audio& Input() {
  static const Audio input = MakeInput();
  return input;
}

const Audio& Reference(int nIn, int nOut, std::uint64_t silenceFlags = 0) {
  static std::map<std::tuple<int, int, std::uint64_t>, Audio> cache;
  const auto key = std::make_tuple(nIn, nOut, silenceFlags);
  auto it = cache.find(key);
  if (it == cache.end())
    it = cache.emplace(key, ReferenceRun(Input(), nIn, nOut, silenceFlags)).first;
  return it->second;
}

class HostBlocks : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(HostBlocks, GiveTheSameOutputAsOneEngineRun) {
  const auto [blockFrames, nIn, nOut] = GetParam();
  TestTarvex plug;
  PrepareBusy(plug);
  const Audio out = InstanceRun(plug, Input(), nIn, nOut, blockFrames);
  const Audio& expected = Reference(nIn, nOut);
  EXPECT_EQ(out.ch[0], expected.ch[0]);
  if (nOut == 2)
    EXPECT_EQ(out.ch[1], expected.ch[1]);
  else
    EXPECT_TRUE(std::all_of(out.ch[1].begin(), out.ch[1].end(), [](float v) { return v == 7.0f; }))
        << "a disconnected output was written";
}

INSTANTIATE_TEST_SUITE_P(SizesAndRoutings, HostBlocks,
                         ::testing::Combine(::testing::Values(1, 7, 512, 513, 4096, 8192),
                                            ::testing::Values(1, 2), ::testing::Values(1, 2)));

TEST(TarvexBlockProcessing, TheDetectorActsDuringTheReferenceRun) {
  // Guards the comparisons above: they must cover learned filters changing.
  auto engine = FeedbackEngine::Create();
  const ParamValues values = BusyValues();
  engine->SetParams(values.data());
  engine->Prepare(kRate, kTotalFrames);
  const float* in[2] = {Input().ch[0].data(), Input().ch[1].data()};
  std::vector<float> o0(kTotalFrames), o1(kTotalFrames);
  float* out[2] = {o0.data(), o1.data()};
  engine->Process(in, out, kTotalFrames, false);
  LearnedSet set;
  ASSERT_TRUE(engine->ReadLearnedSet(set));
  EXPECT_TRUE(std::any_of(set.begin(), set.end(),
                          [](const LearnedFilter& f) { return f.kind == kSlotLive; }));
}

TEST(TarvexBlockProcessing, SilenceFlagsAndMissingInputsReadAsSilence) {
  const struct {
    int nIn;
    std::uint64_t flags;
  } cases[] = {{2, 1u}, {2, 2u}, {2, 3u}, {1, 1u}, {1, 2u}, {0, 0u}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "inputs " << c.nIn << " flags " << c.flags);
    TestTarvex plug;
    PrepareBusy(plug);
    plug.SetInputSilenceFlags(c.flags);
    const Audio out = InstanceRun(plug, Input(), c.nIn, 2, 700);
    const Audio& expected = Reference(c.nIn, 2, c.flags);
    EXPECT_EQ(out.ch[0], expected.ch[0]);
    EXPECT_EQ(out.ch[1], expected.ch[1]);
  }
}

TEST(TarvexBlockProcessing, NullInputPointersReadAsSilence) {
  TestTarvex plug;
  PrepareBusy(plug);
  std::vector<float> o0(1000, 7.0f), o1(1000, 7.0f);
  float* outs[2] = {o0.data(), o1.data()};
  plug.ProcessBlock(nullptr, outs, 1000);
  float* ins[2] = {nullptr, nullptr};
  plug.ProcessBlock(ins, outs, 1000);
  // Only silence went in, the output is silence too.
  EXPECT_TRUE(std::all_of(o0.begin(), o0.end(), [](float v) { return v == 0.0f; }));
  EXPECT_TRUE(std::all_of(o1.begin(), o1.end(), [](float v) { return v == 0.0f; }));
}

TEST(TarvexBlockProcessing, NotReadyGivesSilence) {
  TestTarvex plug;
  std::vector<float> in(600, 0.5f), o0(600, 7.0f), o1(600, 7.0f);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {o0.data(), o1.data()};
  const auto silent = [&] {
    return std::all_of(o0.begin(), o0.end(), [](float v) { return v == 0.0f; }) &&
           std::all_of(o1.begin(), o1.end(), [](float v) { return v == 0.0f; });
  };
  plug.ProcessBlock(ins, outs, 600);
  EXPECT_TRUE(silent()) << "before activation";

  plug.OnActivate(true);
  ASSERT_TRUE(plug.IsReady());
  plug.ProcessBlock(ins, outs, 600);
  EXPECT_FALSE(silent());

  plug.OnActivate(false);
  EXPECT_FALSE(plug.IsReady());
  plug.ProcessBlock(ins, outs, 600);
  EXPECT_TRUE(silent()) << "after deactivation";

  // A disconnected output keeps what it holds.
  std::fill(o1.begin(), o1.end(), 7.0f);
  plug.SetChannelConnections(plugkit::kDirectionOutput, 1, 1, false);
  plug.ProcessBlock(ins, outs, 600);
  EXPECT_EQ(o1.front(), 7.0f);
  plug.ProcessBlock(ins, nullptr, 600);
  plug.ProcessBlock(ins, outs, 0);
}

TEST(TarvexBlockProcessing, RefusedPreparationLeavesTheInstanceSilentAndKeepsItsRate) {
  TestTarvex plug;
  plug.SetSampleRate(44100.0);
  plug.OnReset();
  ASSERT_TRUE(plug.IsReady());
  EXPECT_EQ(plug.TailLength(), 22 * 44100);

  std::vector<float> in(512, 0.5f), o0(512), o1(512);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {o0.data(), o1.data()};
  for (double rate : {8000.0, 192000.5, 1e9}) {
    SCOPED_TRACE(rate);
    plug.SetSampleRate(rate);
    EXPECT_NO_THROW(plug.OnReset());
    EXPECT_FALSE(plug.IsReady());
    EXPECT_NO_THROW(plug.OnActivate(true));
    EXPECT_FALSE(plug.IsReady());
    EXPECT_EQ(plug.SampleRate(), 44100.0);
    EXPECT_EQ(plug.TailLength(), 22 * 44100);
    std::fill(o0.begin(), o0.end(), 7.0f);
    plug.ProcessBlock(ins, outs, 512);
    EXPECT_TRUE(std::all_of(o0.begin(), o0.end(), [](float v) { return v == 0.0f; }));
  }

  // An unknown rate falls back to 48 kHz.
  for (double rate : {0.0, -44100.0, std::nan(""), HUGE_VAL}) {
    plug.SetSampleRate(rate);
    plug.OnReset();
    EXPECT_TRUE(plug.IsReady());
    EXPECT_EQ(plug.SampleRate(), 48000.0);
  }
  plug.SetSampleRate(96000.0);
  plug.OnActivate(true);
  EXPECT_TRUE(plug.IsReady());
  EXPECT_EQ(plug.SampleRate(), 96000.0);
  EXPECT_EQ(plug.TailLength(), 22 * 96000);
}

TEST(TarvexBlockProcessing, ParameterChangesReachTheEngineAtTheNextBlock) {
  TestTarvex plug;
  plug.OnActivate(true);
  std::vector<float> in(512), o0(512), o1(512);
  for (int i = 0; i < 512; ++i) in[i] = static_cast<float>(0.5 * std::sin(0.05 * i));
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {o0.data(), o1.data()};
  plug.ProcessBlock(ins, outs, 512);
  EXPECT_EQ(o0, in) << "defaults pass the input unchanged";
  // The output trim glides to its new value; let it arrive (to within the
  // engine's float precision, about 0.001 dB) before comparing.
  plug.GetParam(kParamOutput)->Set(-24.0);
  for (int b = 0; b < 100; ++b) plug.ProcessBlock(ins, outs, 512);
  for (int i = 0; i < 512; ++i) EXPECT_NEAR(o0[i], in[i] * std::pow(10.0, -24.0 / 20.0), 1e-5);
}

// A tone rings slot 0's notch up; after 20 blocks (10 ms after the Live
// filter of the fourth case ran out) the slot's filter changes. The output
// must never rise above the tone, and the new notch must be in place 1 s on.
TEST(TarvexBlockProcessing, ASlotChangingFilterNeverLiftsTheOutput) {
  using testing::StateFields;
  auto manual = [](ParamValues& v, float frequency) {
    const float fields[] = {1.0f, frequency, 36.0f, 80.0f};
    for (int f = 0; f < 4; ++f) v[SlotParamIndex(0, f)] = fields[f];
  };
  StateFields swap, manualSwap, manualOn, reuse, reused, glide;
  swap.actual[0] = manualOn.actual[0] = {4000.0f, 12.0f, 24.0f, 1.0f, kSlotFixed};
  swap.stored[0] = {100.0f, 12.0f, 24.0f, 1.0f, kSlotFixed};
  manual(manualSwap.current, 1000.0f);
  manual(manualSwap.other, 100.0f);
  reuse.actual[0] = {4000.0f, 12.0f, 24.0f, 1.0f, kSlotLive};
  reuse.current[kParamLiveHold] = reuse.current[kParamRecovery] = 0.1f;
  reused.actual[0] = {100.0f, 12.0f, 24.0f, 1.0f, kSlotLive};
  manual(glide.current, 1000.0f);
  auto swapBanks = [](TestTarvex& p) { p.SwapBanks(); };
  auto set = [](int field, double value) {
    return [=](TestTarvex& p) { p.GetParam(SlotParamIndex(0, field))->Set(value); };
  };
  const struct {
    StateFields state;
    std::function<void(TestTarvex&)> change;
    double tone, arrives;
  } cases[] = {
      {swap, swapBanks, 4000.0, 100.0},
      {manualSwap, swapBanks, 1000.0, 100.0},
      {manualOn, set(kSlotEnabled, 1.0), 4000.0, 80.0},
      {reuse, [&](TestTarvex& p) { p.Restore(testing::StateBytes(reused)); }, 4000.0, 100.0},
      {glide, set(kSlotFrequency, 1100.0), 1000.0, 1100.0},
      {glide, set(kSlotFrequency, 100.0), 1000.0, 100.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    TestTarvex plug;
    plug.OnActivate(true);
    ASSERT_EQ(plug.Restore(testing::StateBytes(c.state)), testsupport::kStateChunkBytes);
    std::vector<float> in(512), o0(512), o1(512);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {o0.data(), o1.data()};
    double peak = 0.0;
    for (int block = 0; block < 20 + 94; ++block) {
      if (block == 20) c.change(plug);
      for (int i = 0; i < 512; ++i)
        in[i] = static_cast<float>(
            0.5 * std::sin(2.0 * testing::kPi * c.tone * (512 * block + i) / kRate));
      plug.ProcessBlock(ins, outs, 512);
      for (int i = 0; block >= 20 && i < 512; ++i) peak = std::max(peak, std::fabs(double(o0[i])));
    }
    EXPECT_LE(20.0 * std::log10(peak / 0.5), 0.2);
    EngineSnapshot s;
    plug.ReadSnapshot(s);
    double f = 0.0, q = 0.0;
    EXPECT_TRUE(NotchFromSection(s.sections[0][0], kRate, f, q));
    EXPECT_NEAR(f, c.arrives, 0.01 * c.arrives);
  }
}

} // namespace
} // namespace tarvex
