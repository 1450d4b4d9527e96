#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tarvex/engine/notch_design.h"
#include "tests/support/test_noise.h"
#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

// The audio path one sample at a time, written plainly: parameter glide,
// bypass crossfade, control update every 32 samples and the 24 sections of
// each channel in slot order. It covers Manual slots that are not dynamic and
// Fixed filters (no analysis, no ageing), which is all the batched, grouped
// and cached engine path does to the audio between two analyses. A section
// takes up a new filter at once only while it is at rest; a Manual filter
// glides; any other waits for the old one to fade out and starts from rest.
class ReferencePath {
public:
  ReferencePath(double fs, const LearnedSet& learned) : fs_(fs), learned_(learned) {}

  void SetParams(const ParamValues& values) { SanitizeParamValues(target_.data(), values.data()); }

  void Process(const float* in0, const float* in1, float* out0, float* out1, int frames,
               bool hostBypass) {
    if (first_) {
      smoothed_ = target_;
      UpdateControl();
      first_ = false;
    }
    const double g = 1.0 - std::exp(-1.0 / (0.02 * fs_));
    const double k = 1.0 - std::exp(-1.0 / (0.003 * fs_));
    const double b = (hostBypass || target_[kParamBypass] > 0.5f) ? 1.0 : 0.0;
    if (crossfadeInit_ && frames != 0) {
      crossfade_ = b;
      crossfadeInit_ = false;
    }
    const float* in[2] = {in0, in1};
    float* out[2] = {out0, out1};
    for (int i = 0; i < frames; ++i) {
      for (int p = 0; p < kParamCount; ++p) {
        if (IsEnumParam(p) || smoothed_[p] == target_[p]) continue;
        const double target = target_[p];
        const double smoothed = smoothed_[p];
        smoothed_[p] = static_cast<float>(smoothed + (target - smoothed) * g);
        if (std::fabs(target - smoothed_[p]) < 1e-6) smoothed_[p] = target_[p];
      }
      crossfade_ = crossfade_ + (b - crossfade_) * k;
      if (std::fabs(b - crossfade_) < 1e-10) crossfade_ = b;
      if (counter_ % 32 == 0) UpdateControl();
      ++counter_;
      for (int ch = 0; ch < 2; ++ch) {
        const double x = std::isfinite(in[ch][i]) ? in[ch][i] : 0.0;
        double y = x * inputGain_;
        for (int s = 0; s < kSlotCount; ++s) {
          Section& sec = sections_[ch][s];
          if (sec.fade == 0.0) {
            sec.s1 = 0.0;
            sec.s2 = 0.0;
            continue;
          }
          const double v = sec.b0 * y + sec.s1;
          sec.s1 = sec.b1 * y - sec.a1 * v + sec.s2;
          sec.s2 = sec.b2 * y - sec.a2 * v;
          if (std::fabs(sec.s1) < 1e-250) sec.s1 = 0.0;
          if (std::fabs(sec.s2) < 1e-250) sec.s2 = 0.0;
          y = y + (v - y) * sec.wet;
        }
        const double w = ((y - x) * mix_ + x) * outputGain_;
        const double o = crossfade_ == 1.0 ? x : w + (x - w) * crossfade_;
        out[ch][i] = static_cast<float>(o);
      }
    }
  }

private:
  struct Section {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double s1 = 0.0, s2 = 0.0, fade = 0.0, envelope = 0.0, wet = 0.0, depth = 0.0;
    NotchDesign design{-1.0, -1.0};
    bool manual = false;
  };

  void Design(Section& sec, const NotchDesign& d) {
    const NotchCoefficients c = DesignNotch(d.frequencyHz, d.q, fs_);
    sec.b0 = c.b0;
    sec.b1 = c.b1;
    sec.b2 = c.b2;
    sec.a1 = c.a1;
    sec.a2 = c.a2;
    sec.design = d;
  }

  // Whether the section runs the filter now.
  bool TakeUp(Section& sec, double frequency, double q, bool manual) {
    const NotchDesign wanted = ClampNotchDesign(frequency, q, fs_);
    if (wanted.frequencyHz != sec.design.frequencyHz || wanted.q != sec.design.q) {
      if (sec.fade == 0.0) {
        Design(sec, wanted);
      } else if (sec.manual && manual && GlideArrives(sec.design, wanted, fs_, int(fs_))) {
        Design(sec, GlideNotch(sec.design, wanted, fs_, 32));
      } else if (sec.wet < 1e-5) {
        Design(sec, wanted);
        sec.fade = sec.s1 = sec.s2 = 0.0;
      } else {
        return false;
      }
    }
    sec.manual = manual;
    return true;
  }

  void UpdateControl() {
    inputGain_ = std::pow(10.0, 0.05 * smoothed_[kParamInput]);
    outputGain_ = std::pow(10.0, 0.05 * smoothed_[kParamOutput]);
    mix_ = 0.01 * smoothed_[kParamMix];
    for (int s = 0; s < kSlotCount; ++s) {
      const bool manual = target_[SlotParamIndex(s, kSlotEnabled)] > 0.5f;
      const LearnedFilter& r = learned_[s];
      const int kind = manual ? static_cast<int>(kSlotManual) : r.kind;
      const double frequency =
          manual ? smoothed_[SlotParamIndex(s, kSlotFrequency)] : r.frequencyHz;
      const double q = manual ? smoothed_[SlotParamIndex(s, kSlotQ)] : r.q;
      const double depth = manual ? smoothed_[SlotParamIndex(s, kSlotDepth)] : r.depthDb;
      const int channel = manual ? 0 : r.channel;
      const double current = kind != kSlotEmpty ? depth : 0.0;
      for (int ch = 0; ch < 2; ++ch) {
        Section& sec = sections_[ch][s];
        double target = 0.0;
        if (kind != kSlotEmpty && (manual || channel == 0 || channel == ch + 1) &&
            TakeUp(sec, frequency, q, manual)) {
          sec.depth = current;
          target = 1.0;
        }
        const double t = target > sec.fade ? target_[kParamAttack] * 0.001 : 0.005;
        sec.fade = sec.fade + (1.0 - std::exp(-32.0 / (t * fs_))) * (target - sec.fade);
        if (std::fabs(target - sec.fade) < 1e-9) sec.fade = target;
        sec.envelope = 1.0;
        sec.wet = (1.0 - std::pow(10.0, -0.05 * sec.depth * sec.envelope)) * sec.fade;
      }
    }
  }

  double fs_;
  LearnedSet learned_;
  ParamValues target_ = DefaultParamValues();
  ParamValues smoothed_ = DefaultParamValues();
  Section sections_[2][kSlotCount];
  double inputGain_ = 1.0, outputGain_ = 1.0, mix_ = 1.0;
  double crossfade_ = 0.0;
  bool crossfadeInit_ = true;
  bool first_ = true;
  long counter_ = 0;
};

TEST(AudioPathReference, BatchedGroupedPathMatchesOneSampleAtATimeBitForBit) {
  const double fs = 44100.0;
  const int block = 512;
  auto engine = FeedbackEngine::Create();
  ParamValues params = DefaultParamValues();
  params[kParamAnalyzer] = 0.0f;
  params[kParamAttack] = 7.0f;
  const float manual[][3] = {{300.0f, 9.0f, 32.0f},
                             {900.0f, 24.0f, 4.0f},
                             {2700.0f, 3.0f, 60.0f},
                             {5000.0f, 36.0f, 0.7f},
                             {120.0f, 12.0f, 12.0f}};
  const int manualSlots[] = {0, 3, 4, 9, 23};
  for (int n = 0; n < 5; ++n) {
    params[SlotParamIndex(manualSlots[n], kSlotEnabled)] = 1.0f;
    params[SlotParamIndex(manualSlots[n], kSlotFrequency)] = manual[n][0];
    params[SlotParamIndex(manualSlots[n], kSlotDepth)] = manual[n][1];
    params[SlotParamIndex(manualSlots[n], kSlotQ)] = manual[n][2];
  }
  LearnedSet learned{};
  for (int s : {1, 2, 5, 6, 7, 8, 10, 11, 12, 15, 16, 17, 20})
    learned[s] = {static_cast<float>(90.0 * std::pow(1.31, s)),
                  4.0f + s,
                  3.0f + 2.0f * s,
                  0.5f,
                  kSlotFixed,
                  s % 3};
  learned[4] = {1111.0f, 18.0f,      20.0f,
                0.5f,    kSlotFixed, 2}; // under Manual slot 5 until it is disabled
  ASSERT_TRUE(ValidateLearnedSet(learned));

  engine->SetParams(params.data());
  engine->Prepare(fs, block);
  ASSERT_TRUE(engine->RequestLearnedSet(learned));
  ReferencePath reference(fs, learned);
  reference.SetParams(params);

  std::vector<float> in0(block), in1(block), e0(block), e1(block), r0(block), r1(block);
  testing::NoiseSequence noiseSource(5);
  long position = 0;
  const int calls[] = {1, 37, 512, 95, 200, 511, 3, 64, 32, 31, 33, 480, 512, 7};
  long mismatches = 0;
  for (int round = 0; round < 60; ++round) {
    if (round == 10) params[kParamInput] = -7.5f;
    if (round == 14) params[kParamMix] = 35.0f;
    if (round == 18) params[SlotParamIndex(4, kSlotEnabled)] = 0.0f;
    if (round == 20) params[SlotParamIndex(0, kSlotFrequency)] = 450.0f;
    if (round == 24) params[kParamOutput] = 4.0f;
    if (round == 30) params[SlotParamIndex(9, kSlotEnabled)] = 0.0f;
    if (round == 34) params[SlotParamIndex(9, kSlotEnabled)] = 1.0f;
    if (round == 38) params[kParamBypass] = 1.0f;
    if (round == 42) params[kParamBypass] = 0.0f;
    engine->SetParams(params.data());
    reference.SetParams(params);
    const int frames = calls[round % 14];
    for (int i = 0; i < frames; ++i) {
      const double noise = 0.1 * noiseSource.Next();
      const double t = static_cast<double>(position + i) / fs;
      in0[i] = static_cast<float>(noise + 0.4 * std::sin(2.0 * kPi * 900.0 * t));
      in1[i] = static_cast<float>(-noise + 0.3 * std::sin(2.0 * kPi * 1111.0 * t));
    }
    if (round == 5) in1[0] = std::nanf("");
    const float* in[2] = {in0.data(), in1.data()};
    float* eo[2] = {e0.data(), e1.data()};
    const bool hostBypass = round == 50;
    engine->Process(in, eo, frames, hostBypass);
    reference.Process(in0.data(), in1.data(), r0.data(), r1.data(), frames, hostBypass);
    for (int i = 0; i < frames; ++i) {
      if (e0[i] != r0[i] || e1[i] != r1[i]) {
        if (mismatches < 5)
          ADD_FAILURE() << "sample " << position + i << ": " << e0[i] << " vs " << r0[i] << ", "
                        << e1[i] << " vs " << r1[i];
        ++mismatches;
      }
    }
    position += frames;
  }
  EXPECT_EQ(mismatches, 0);
  EngineSnapshot s;
  engine->ReadSnapshot(s);
  EXPECT_EQ(s.manualCount, 4);
  EXPECT_EQ(s.fixedCount, 14);
}

} // namespace
} // namespace tarvex
