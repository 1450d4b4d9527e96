#include <algorithm>
#include <cmath>
#include <cstdint>

#include "feedback_engine.h"
#include "notch_design.h"

namespace tarvex {
namespace {

struct SlotSource {
  int kind;
  double frequency;
  double depth;
  double q;
  int channel;
  double confidence;
};

}  // namespace

void FeedbackEngine::UpdateControl() {
  const double fs = sampleRate_;
  auto decibelsToGain = [](double db) { return std::pow(10.0, 0.05 * db); };
  inputGain_ = inputGainMemo_(smoothed_[kParamInput], decibelsToGain);
  outputGain_ = outputGainMemo_(smoothed_[kParamOutput], decibelsToGain);
  mix_ = 0.01 * smoothed_[kParamMix];
  working_.fixedCount = 0;
  working_.liveCount = 0;
  working_.manualCount = 0;

  const double attackSeconds = Target(kParamAttack) * 0.001;
  const double fadeInCoef = 1.0 - std::exp(-32.0 / (attackSeconds * fs));
  const double fadeOutCoef = 1.0 - std::exp(-32.0 / (0.005 * fs));
  const double attackMs = Target(kParamAttack);
  const double knee = Target(kParamDynamicKnee);

  for (int s = 0; s < kSlotCount; ++s) {
    const bool manual = TargetSlot(s, kSlotEnabled) > 0.5f;
    SlotSource src;
    if (manual) {
      src = {kSlotManual,
             smoothed_[SlotParamIndex(s, kSlotFrequency)],
             smoothed_[SlotParamIndex(s, kSlotDepth)],
             smoothed_[SlotParamIndex(s, kSlotQ)],
             0,
             1.0};
    } else {
      const LearnedFilter& r = actual_[s];
      src = {r.kind, r.frequencyHz, r.kind == kSlotLive ? liveDepth_[s] : r.depthDb, r.q,
             r.channel, r.confidence};
    }
    const double currentDepth = src.kind != kSlotEmpty ? src.depth : 0.0;
    slotDepth_[s] = currentDepth;

    working_.slotFrequency[s] = static_cast<float>(std::clamp(src.frequency, 20.0, 0.49 * fs));
    working_.slotQ[s] = static_cast<float>(src.q);
    working_.slotKind[s] = src.kind;
    working_.slotChannel[s] = src.channel;
    working_.slotConfidence[s] = static_cast<float>(src.confidence);

    const int bin = std::clamp(static_cast<int>(src.frequency * kRingSize / fs), 0, kSpectrumBins - 1);
    const double level = std::max(inMag_[0][bin], inMag_[1][bin]);
    working_.slotLevelDb[s] = static_cast<float>(
        levelMemo_[s](level, [](double m) { return 20.0 * std::log10(std::max(m, 1e-12)); }));

    if (src.kind == kSlotFixed) ++working_.fixedCount;
    if (src.kind == kSlotLive) ++working_.liveCount;
    if (src.kind == kSlotManual) ++working_.manualCount;

    const bool dynamic = manual && TargetSlot(s, kSlotDynamic) > 0.5f;
    double envelopeTarget = 1.0;
    if (dynamic) {
      const double levelDb = working_.slotLevelDb[s];
      const double threshold = TargetSlot(s, kSlotThreshold);
      if (knee > 0.0)
        envelopeTarget = std::clamp((levelDb - threshold + knee / 2.0) / std::max(knee, 1.0), 0.0, 1.0);
      else
        envelopeTarget = levelDb > threshold ? 1.0 : 0.0;
    }

    double envelopes[kEngineChannels];
    for (int ch = 0; ch < kEngineChannels; ++ch) {
      NotchSection& sec = sections_[ch][s];
      const bool applies =
          src.kind != kSlotEmpty && (manual || src.channel == 0 || src.channel == ch + 1);
      double target = 0.0;
      if (applies) {
        // The design is a pure function of its inputs: skip it when they repeat.
        if (sec.designFrequency != src.frequency || sec.designQ != src.q) {
          const NotchCoefficients c = DesignNotch(src.frequency, src.q, fs);
          sec.b0 = c.b0;
          sec.b1 = c.b1;
          sec.b2 = c.b2;
          sec.a1 = c.a1;
          sec.a2 = c.a2;
          sec.designFrequency = src.frequency;
          sec.designQ = src.q;
        }
        sec.depth = currentDepth;
        target = 1.0;
      }
      const double coef = target > sec.fade ? fadeInCoef : fadeOutCoef;
      sec.fade = sec.fade + coef * (target - sec.fade);
      if (std::fabs(target - sec.fade) < 1e-9) sec.fade = target;

      if (dynamic) {
        const double t = envelopeTarget > sec.envelope ? attackMs : TargetSlot(s, kSlotRelease);
        sec.envelope =
            sec.envelope + (1.0 - std::exp(-32.0 / (0.001 * t * fs))) * (envelopeTarget - sec.envelope);
      } else {
        sec.envelope = 1.0;
      }
      if (sec.fade == 0.0) {
        sec.wet = 0.0;
      } else {
        const double exponent = -0.05 * sec.depth * sec.envelope;
        if (exponent != sec.cutExponent) {
          sec.cutExponent = exponent;
          sec.cutGain = std::pow(10.0, exponent);
        }
        sec.wet = (1.0 - sec.cutGain) * sec.fade;
      }
      envelopes[ch] = sec.envelope;
    }
    working_.slotDepth[s] = static_cast<float>((envelopes[0] + envelopes[1]) * currentDepth * 0.5);
  }
  working_.learning = learning_;
  RebuildActiveSections();
}

void FeedbackEngine::RebuildActiveSections() {
  activeCount_ = 0;
  for (int s = 0; s < kSlotCount; ++s) {
    NotchLanes& l = lanes_[s];
    const NotchSection& c0 = sections_[0][s];
    const NotchSection& c1 = sections_[1][s];
    l.b0 = StereoLanes{c0.b0, c1.b0};
    l.b1 = StereoLanes{c0.b1, c1.b1};
    l.b2 = StereoLanes{c0.b2, c1.b2};
    l.a1 = StereoLanes{c0.a1, c1.a1};
    l.a2 = StereoLanes{c0.a2, c1.a2};
    l.wet = StereoLanes{c0.wet, c1.wet};
    l.active = StereoMask{c0.fade != 0.0 ? -1 : 0, c1.fade != 0.0 ? -1 : 0};
    l.s1 = SelectLanes(l.active, l.s1, StereoLanes{0.0, 0.0});
    l.s2 = SelectLanes(l.active, l.s2, StereoLanes{0.0, 0.0});
    if (c0.fade != 0.0 || c1.fade != 0.0) activeSlots_[activeCount_++] = static_cast<std::int8_t>(s);
  }
}

namespace {

// A lane whose section is faded out passes its sample and keeps a zero
// state; when both lanes run (BothActive) there is nothing to mask.
template <bool BothActive, typename Lanes>
inline void RunSection(Lanes& q, StereoLanes& sample) {
  const StereoLanes x = sample;
  const StereoLanes v = q.b0 * x + q.s1;
  const StereoLanes s1 = FlushTiny(q.b1 * x - q.a1 * v + q.s2);
  const StereoLanes s2 = FlushTiny(q.b2 * x - q.a2 * v);
  const StereoLanes y = x + (v - x) * q.wet;
  if (BothActive) {
    q.s1 = s1;
    q.s2 = s2;
    sample = y;
  } else {
    q.s1 = (StereoLanes)((StereoMask)s1 & q.active);
    q.s2 = (StereoLanes)((StereoMask)s2 & q.active);
    sample = SelectLanes(q.active, y, x);
  }
}

// Up to G consecutive sections over count samples, skewed: at step t
// section k takes sample t - k, so the G sections of one step are independent
// and run side by side instead of waiting on each other's latency.
template <int G, bool BothActive, typename Lanes>
void RunSkewed(Lanes* const* sections, StereoLanes* samples, int count) {
  for (int t = 0; t < count + G - 1; ++t) {
    for (int k = 0; k < G; ++k) {
      const int i = t - k;
      if (i >= 0 && i < count) RunSection<BothActive>(*sections[k], samples[i]);
    }
  }
}

template <int G, typename Lanes>
void RunGroup(Lanes* const* sections, StereoLanes* samples, int count) {
  bool both = true;
  for (int k = 0; k < G; ++k) both = both && sections[k]->active[0] && sections[k]->active[1];
  if (both)
    RunSkewed<G, true>(sections, samples, count);
  else
    RunSkewed<G, false>(sections, samples, count);
}

}  // namespace

// Every sample still meets the sections in slot order and every section its
// samples in time order, with the same arithmetic as one sample at a time.
void FeedbackEngine::ProcessSections(StereoLanes* samples, int count) {
  constexpr int kGroup = 4;
  for (int first = 0; first < activeCount_; first += kGroup) {
    NotchLanes* group[kGroup];
    const int size = std::min(kGroup, activeCount_ - first);
    for (int k = 0; k < size; ++k) group[k] = &lanes_[activeSlots_[first + k]];
    switch (size) {
      case 1: RunGroup<1>(group, samples, count); break;
      case 2: RunGroup<2>(group, samples, count); break;
      case 3: RunGroup<3>(group, samples, count); break;
      default: RunGroup<4>(group, samples, count); break;
    }
  }
}

}  // namespace tarvex
