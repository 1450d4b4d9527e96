#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tarvex/engine/engine_constants.h"
#include "tarvex/engine/feedback_engine.h"
#include "tarvex/engine/notch_design.h"
#include "tarvex/engine/notch_sections.h"

namespace tarvex {
namespace {

// The step, per control period, of a one-pole smoother with this time
// constant.
double ControlSmoothing(double seconds, double fs) {
  return 1.0 - std::exp(-kControlPeriod / (seconds * fs));
}

// A section whose wet share is below this changes its channel by less than
// -94 dB: it may stop there without a click.
constexpr double kInaudibleWet = 1e-5;

// A Manual notch whose knobs ran farther ahead than it can glide in this time
// fades out and comes back at its new place: at the pace a narrow, low notch
// can follow, a move across the range would take minutes.
constexpr double kLongestGlideSeconds = 1.0;

void SetDesign(NotchSection& sec, const NotchDesign& design, double fs) {
  const NotchCoefficients c = DesignNotch(design.frequencyHz, design.q, fs);
  sec.b0 = c.b0;
  sec.b1 = c.b1;
  sec.b2 = c.b2;
  sec.a1 = c.a1;
  sec.a2 = c.a2;
  sec.designFrequency = design.frequencyHz;
  sec.designQ = design.q;
}

} // namespace

// Where a slot's filter comes from: its manual parameters when the slot is
// enabled, else its learned filter; depth is 0 for an empty slot.
struct FeedbackEngine::SlotSource {
  int kind;
  double frequency;
  double depth;
  double q;
  int channel;
  double confidence;
  bool manual;
  bool dynamic;
};

// The steps of the control update run once per slot and channel: they are
// kept in its loop rather than behind calls.
[[gnu::always_inline]] inline void FeedbackEngine::UpdateGains() {
  const ParamValues& smoothed = params_.smoothed;
  auto decibelsToGain = [](double db) { return std::pow(10.0, 0.05 * db); };
  bank_.inputGain = bank_.inputGainMemo(smoothed[kParamInput], decibelsToGain);
  bank_.outputGain = bank_.outputGainMemo(smoothed[kParamOutput], decibelsToGain);
  bank_.mix = 0.01 * smoothed[kParamMix];
}

[[gnu::always_inline]] inline FeedbackEngine::SlotSource FeedbackEngine::ReadSlotSource(
    int slot) const {
  const bool manual = TargetSlot(slot, kSlotEnabled) > 0.5f;
  if (manual) {
    const ParamValues& smoothed = params_.smoothed;
    return {kSlotManual,
            smoothed[SlotParamIndex(slot, kSlotFrequency)],
            smoothed[SlotParamIndex(slot, kSlotDepth)],
            smoothed[SlotParamIndex(slot, kSlotQ)],
            0,
            1.0,
            true,
            TargetSlot(slot, kSlotDynamic) > 0.5f};
  }
  const LearnedFilter& r = learned_.actual[slot];
  const double depth =
      r.kind == kSlotEmpty ? 0.0 : (r.kind == kSlotLive ? learned_.liveDepth[slot] : r.depthDb);
  return {r.kind, r.frequencyHz, depth, r.q, r.channel, r.confidence, false, false};
}

// The slot as the display shows it, its level at its frequency's bin, and the
// count of its kind.
[[gnu::always_inline]] inline void FeedbackEngine::ShowSlot(int slot, const SlotSource& src) {
  const double fs = sampleRate_;
  EngineSnapshot& w = exchange_.working;
  w.slotFrequency[slot] = static_cast<float>(std::clamp(src.frequency, 20.0, TopFrequency(fs)));
  w.slotQ[slot] = static_cast<float>(src.q);
  w.slotKind[slot] = src.kind;
  w.slotChannel[slot] = src.channel;
  w.slotConfidence[slot] = static_cast<float>(src.confidence);

  const int bin =
      std::clamp(static_cast<int>(src.frequency * kRingSize / fs), 0, kSpectrumBins - 1);
  const double power = std::max(analyzer_.inPower[0][bin], analyzer_.inPower[1][bin]);
  w.slotLevelDb[slot] = static_cast<float>(bank_.levelMemo[slot](power, PowerDb));

  if (src.kind == kSlotFixed) ++w.fixedCount;
  if (src.kind == kSlotLive) ++w.liveCount;
  if (src.kind == kSlotManual) ++w.manualCount;
}

// How far a dynamic slot's cut opens at its present level: fully above the
// threshold's knee, not at all below it.
[[gnu::always_inline]] inline double FeedbackEngine::DynamicEnvelopeTarget(int slot) const {
  const double levelDb = exchange_.working.slotLevelDb[slot];
  const double threshold = TargetSlot(slot, kSlotThreshold);
  const double knee = Target(kParamDynamicKnee);
  if (knee > 0.0)
    return std::clamp((levelDb - threshold + knee / 2.0) / std::max(knee, 1.0), 0.0, 1.0);
  return levelDb > threshold ? 1.0 : 0.0;
}

// How a section takes up the filter its slot holds now. The same filter, or
// any filter while the section is at rest, is designed at once; a Manual
// filter moved by its slot's knobs glides; any other filter waits until the
// one still sounding has faded out and then starts from rest: a running
// notch's state fed through another design rings out loud (a tone in a 4 kHz
// notch turned into 100 Hz comes out some 30 dB louder). Gives whether the
// section runs the slot's filter now.
[[gnu::always_inline]] inline bool FeedbackEngine::TakeUpFilter(int channel, int slot,
                                                                const SlotSource& src) {
  NotchSection& sec = bank_.sections[channel][slot];
  const double fs = sampleRate_;
  const NotchDesign wanted = ClampNotchDesign(src.frequency, src.q, fs);
  if (sec.designFrequency != wanted.frequencyHz || sec.designQ != wanted.q) {
    if (sec.fade == 0.0) {
      SetDesign(sec, wanted, fs);
    } else if (sec.designGlides && src.manual &&
               GlideArrives({sec.designFrequency, sec.designQ}, wanted, fs,
                            static_cast<int>(kLongestGlideSeconds * fs))) {
      SetDesign(sec, GlideNotch({sec.designFrequency, sec.designQ}, wanted, fs, kControlPeriod),
                fs);
    } else if (sec.wet < kInaudibleWet) {
      SetDesign(sec, wanted, fs);
      sec.fade = 0.0;
      bank_.lanes[slot].s1[channel] = 0.0;
      bank_.lanes[slot].s2[channel] = 0.0;
    } else {
      return false;
    }
  }
  sec.designGlides = src.manual;
  return true;
}

// Takes up the slot's filter or fades out the one it replaces, follows the
// envelope and sets the wet share; gives the envelope.
[[gnu::always_inline]] inline double FeedbackEngine::UpdateSection(int channel, int slot,
                                                                   const SlotSource& src,
                                                                   double envelopeTarget,
                                                                   const double fadeCoefs[2]) {
  NotchSection& sec = bank_.sections[channel][slot];
  const double fs = sampleRate_;
  const bool applies =
      src.kind != kSlotEmpty && (src.manual || src.channel == 0 || src.channel == channel + 1);
  double target = 0.0;
  if (applies && TakeUpFilter(channel, slot, src)) {
    sec.depth = src.depth;
    target = 1.0;
  }
  const double coef = target > sec.fade ? fadeCoefs[0] : fadeCoefs[1];
  sec.fade = sec.fade + coef * (target - sec.fade);
  if (std::fabs(target - sec.fade) < 1e-9) sec.fade = target;

  if (src.dynamic) {
    const double ms =
        envelopeTarget > sec.envelope ? Target(kParamAttack) : TargetSlot(slot, kSlotRelease);
    sec.envelope =
        sec.envelope + ControlSmoothing(0.001 * ms, fs) * (envelopeTarget - sec.envelope);
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
  return sec.envelope;
}

void FeedbackEngine::UpdateControl() {
  UpdateGains();
  EngineSnapshot& w = exchange_.working;
  w.fixedCount = 0;
  w.liveCount = 0;
  w.manualCount = 0;
  const double fs = sampleRate_;
  const double fadeCoefs[2] = {ControlSmoothing(Target(kParamAttack) * 0.001, fs),
                               ControlSmoothing(0.005, fs)};
  for (int s = 0; s < kSlotCount; ++s) {
    const SlotSource src = ReadSlotSource(s);
    ShowSlot(s, src);
    const double envelopeTarget = src.dynamic ? DynamicEnvelopeTarget(s) : 1.0;
    double envelopes[kEngineChannels];
    for (int ch = 0; ch < kEngineChannels; ++ch)
      envelopes[ch] = UpdateSection(ch, s, src, envelopeTarget, fadeCoefs);
    w.slotDepth[s] = static_cast<float>((envelopes[0] + envelopes[1]) * src.depth * 0.5);
  }
  w.learning = detector_.learning;
  RebuildActiveSections();
}

void FeedbackEngine::RebuildActiveSections() {
  NotchBank& bank = bank_;
  bank.activeCount = 0;
  for (int s = 0; s < kSlotCount; ++s) {
    NotchLanes& l = bank.lanes[s];
    const NotchSection& c0 = bank.sections[0][s];
    const NotchSection& c1 = bank.sections[1][s];
    l.b0 = StereoLanes{c0.b0, c1.b0};
    l.b1 = StereoLanes{c0.b1, c1.b1};
    l.b2 = StereoLanes{c0.b2, c1.b2};
    l.a1 = StereoLanes{c0.a1, c1.a1};
    l.a2 = StereoLanes{c0.a2, c1.a2};
    l.wet = StereoLanes{c0.wet, c1.wet};
    l.active = StereoMask{c0.fade != 0.0 ? -1 : 0, c1.fade != 0.0 ? -1 : 0};
    l.s1 = SelectLanes(l.active, l.s1, StereoLanes{0.0, 0.0});
    l.s2 = SelectLanes(l.active, l.s2, StereoLanes{0.0, 0.0});
    if (c0.fade != 0.0 || c1.fade != 0.0)
      bank.activeSlots[bank.activeCount++] = static_cast<std::int8_t>(s);
  }
}

// Every sample still meets the sections in slot order and every section its
// samples in time order, with the same arithmetic as one sample at a time.
void FeedbackEngine::ProcessSections(StereoLanes* samples, int count) {
  NotchBank& bank = bank_;
  for (int first = 0; first < bank.activeCount; first += kSectionGroup) {
    NotchLanes* group[kSectionGroup];
    const int size = std::min(kSectionGroup, bank.activeCount - first);
    for (int k = 0; k < size; ++k) group[k] = &bank.lanes[bank.activeSlots[first + k]];
    RunSectionGroup(group, size, samples, count);
  }
}

} // namespace tarvex
