#include <algorithm>
#include <cmath>

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
  inputGain_ = std::pow(10.0, 0.05 * smoothed_[kParamInput]);
  outputGain_ = std::pow(10.0, 0.05 * smoothed_[kParamOutput]);
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
    working_.slotLevelDb[s] = static_cast<float>(20.0 * std::log10(std::max(level, 1e-12)));

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
      sec.wet = sec.fade == 0.0
                    ? 0.0
                    : (1.0 - std::pow(10.0, -0.05 * sec.depth * sec.envelope)) * sec.fade;
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
    bool any = false;
    for (int ch = 0; ch < kEngineChannels; ++ch) {
      NotchSection& sec = sections_[ch][s];
      if (sec.fade == 0.0) {
        sec.s1 = 0.0;
        sec.s2 = 0.0;
      } else {
        any = true;
      }
    }
    if (any) activeSlots_[activeCount_++] = static_cast<std::int8_t>(s);
  }
}

void FeedbackEngine::ProcessSections(double& x0, double& x1) {
  for (int n = 0; n < activeCount_; ++n) {
    const int s = activeSlots_[n];
    NotchSection& a = sections_[0][s];
    if (a.fade != 0.0) {
      const double v = a.b0 * x0 + a.s1;
      double s1 = a.b1 * x0 - a.a1 * v + a.s2;
      double s2 = a.b2 * x0 - a.a2 * v;
      a.s1 = std::fabs(s1) < 1e-250 ? 0.0 : s1;
      a.s2 = std::fabs(s2) < 1e-250 ? 0.0 : s2;
      x0 = x0 + (v - x0) * a.wet;
    }
    NotchSection& b = sections_[1][s];
    if (b.fade != 0.0) {
      const double v = b.b0 * x1 + b.s1;
      double s1 = b.b1 * x1 - b.a1 * v + b.s2;
      double s2 = b.b2 * x1 - b.a2 * v;
      b.s1 = std::fabs(s1) < 1e-250 ? 0.0 : s1;
      b.s2 = std::fabs(s2) < 1e-250 ? 0.0 : s2;
      x1 = x1 + (v - x1) * b.wet;
    }
  }
}

}  // namespace tarvex
