#include "tarvex/engine/engine_snapshot.h"

#include <algorithm>
#include <cmath>

#include "tarvex/engine/engine_constants.h"
#include "tarvex/engine/section_response.h"

namespace tarvex {

EngineSnapshot::EngineSnapshot()
    : sampleRate(48000.0),
      candidateFrequency(0.0f),
      candidateConfidence(0.0f),
      fixedCount(0),
      liveCount(0),
      manualCount(0),
      learning(false),
      signal(false) {
  inputSpectrumDb.fill(-120.0f);
  outputSpectrumDb.fill(-120.0f);
  for (DisplayArray& r : responseDb) r.fill(0.0f);
  activeHistory.fill(0.0f);
  slotFrequency.fill(0.0f);
  slotDepth.fill(0.0f);
  slotQ.fill(0.0f);
  slotConfidence.fill(0.0f);
  slotLevelDb.fill(-120.0f);
  slotKind.fill(0);
  slotChannel.fill(0);
  for (SlotArray<SectionView>& channel : sections) channel.fill(SectionView{});
}

bool NotchFromSection(const SectionView& view, double sampleRate, double& frequencyHz, double& q) {
  if (!std::isfinite(sampleRate) || sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate)
    return false;
  if (!std::isfinite(view.wet) || !(view.wet > 0.0)) return false;
  if (!std::isfinite(view.a1) || !std::isfinite(view.a2) || !(1.0 + view.a2 > 0.0)) return false;
  const double k = std::clamp(-view.a1 / (1.0 + view.a2), -1.0, 1.0);
  const double omega = std::acos(k);
  const double alpha = (1.0 - view.a2) / (1.0 + view.a2);
  if (!(alpha > 0.0) || !(omega > 0.0)) return false;
  const double f = omega * sampleRate / (2.0 * kPi);
  const double qv = std::sin(omega) / (2.0 * alpha);
  if (!std::isfinite(f) || !std::isfinite(qv) || f < 19.999 || f > 0.500001 * sampleRate ||
      !(qv > 0.0))
    return false;
  frequencyHz = f;
  q = qv;
  return true;
}

double BankResponseDb(const EngineSnapshot& snapshot, double frequencyHz, int channel) {
  const double fs = snapshot.sampleRate;
  if (channel < 0 || channel > 1 || !std::isfinite(frequencyHz) || !std::isfinite(fs) ||
      fs < kMinSampleRate)
    return 0.0;
  const double f = std::clamp(frequencyHz, 0.0, fs / 2.0);
  const double omega = -2.0 * kPi * f / fs;
  const ComplexValue z{std::cos(omega), std::sin(omega)};
  const ComplexValue z2{z.re * z.re - z.im * z.im, 2.0 * z.re * z.im};
  ComplexValue h{1.0, 0.0};
  for (const SectionView& s : snapshot.sections[channel]) {
    if (s.wet == 0.0) continue;
    h = MixSectionResponse(h, SectionResponse(s.b0, s.b1, s.b2, s.a1, s.a2, z, z2), s.wet);
  }
  const double db = MagnitudeDb(h);
  return std::isfinite(db) ? db : 0.0;
}

} // namespace tarvex
