#include <algorithm>
#include <cmath>

#include "feedback_engine.h"

namespace tarvex {
namespace {

// Bins this close to a peak lie in its own Hann main lobe; they carry the
// peak's energy, not that of a harmonic or a neighbour.
constexpr int kMainLobeBins = 2;

bool InMainLobe(int bin, int peak) { return std::abs(bin - peak) <= kMainLobeBins; }

}  // namespace

bool FeedbackEngine::HarmonicBlocked(const double* m, int peak, double magnitude,
                                     double guard) const {
  const double threshold = magnitude * std::pow(10.0, 0.05 * (-6.0 - 0.24 * guard));
  bool counted = false;
  for (int k = 2; k <= 4; ++k) {
    const int probes[2] = {k * peak, peak / k};
    for (int probe : probes) {
      if (probe <= 1 || probe >= 4095 || InMainLobe(probe, peak)) continue;
      double largest = 0.0;
      for (int n = probe - 1; n <= probe + 1; ++n)
        if (!InMainLobe(n, peak)) largest = std::max(largest, m[n]);
      if (largest > threshold) counted = true;
    }
  }
  return counted && guard > 0.0;
}

void FeedbackEngine::DetectFeedback() {
  const int mode = Mode();
  if (!learning_ && mode != 2) return;
  const double fs = sampleRate_;
  const double hop = kAnalysisHop / fs;
  const double minF = Target(kParamMinFrequency);
  const double maxF = Target(kParamMaxFrequency);
  const double lo = std::min(minF, maxF);
  const double hi = std::max(minF, maxF);
  const bool dualMono = static_cast<int>(Target(kParamRouting)) == 1;
  const int channels = dualMono ? 2 : 1;

  for (int ch = 0; ch < channels; ++ch) {
    DetectorChannel& d = detector_[ch];
    const double* m = dualMono ? inMag_[ch] : linkedMag_;
    const int first = std::max(static_cast<int>(std::ceil(lo * kRingSize / fs)), 2);
    const int last = std::min(static_cast<int>(std::min(0.49 * fs, hi) * kRingSize / fs), 4094);

    int g = -1;
    double best = 0.0;
    for (int k = first; k <= last; ++k) {
      const double v = m[k];
      if ((g < 0 || v > best) && m[k - 1] <= v && m[k + 1] < v) {
        g = k;
        best = v;
      }
    }
    d.cooldown = std::max(d.cooldown - hop, 0.0);
    if (g < 0) {
      d.persistence = 0.0;
      continue;
    }
    const double peak = m[g];
    const double level = 20.0 * std::log10(std::max(peak, 1e-12));
    if (Target(kParamNoiseFloor) > level) {
      d.persistence = 0.0;
      continue;
    }

    double sumSquares = 0.0;
    int count = 0;
    for (int j = 3; j <= 8; ++j) {
      for (int bin : {g + j, g - j}) {
        if (bin < 0 || bin > 4096) continue;
        sumSquares += m[bin] * m[bin];
        ++count;
      }
    }
    const double mean = sumSquares / std::max(count, 1);
    const double prominence = level - 20.0 * std::log10(std::max(std::sqrt(mean), 1e-12));
    const double threshold = (50.0 - Target(kParamSensitivity)) * 0.12 + Target(kParamProminence);
    const bool blocked = HarmonicBlocked(m, g, peak, Target(kParamHarmonicGuard));

    const double a = std::log(std::max(m[g - 1], 1e-20));
    const double b = std::log(peak);
    const double c = std::log(std::max(m[g + 1], 1e-20));
    double offset = 0.5 * (a - c) / (a - 2.0 * b + c);
    offset = std::isfinite(offset) ? std::clamp(offset, -0.5, 0.5) : 0.0;
    const double f = (g + offset) * fs / kRingSize;

    if (prominence < threshold || blocked) {
      d.persistence = 0.0;
      d.lastLevel = level;
      d.lastFrequency = f;
      continue;
    }

    const bool continues = std::fabs(f - d.lastFrequency) < std::max(0.02 * f, 2.0 * fs / kRingSize);
    if (continues && d.persistence > 0.0) {
      d.persistence += hop;
    } else {
      d.startLevel = level;
      d.persistence = hop;
    }
    d.lastFrequency = f;
    d.lastLevel = level;

    const double confidence = std::clamp((prominence - threshold) / 12.0 + 0.5, 0.0, 1.0);
    working_.candidateFrequency = static_cast<float>(f);
    working_.candidateConfidence = static_cast<float>(confidence);

    const int kind = learning_ ? kSlotFixed : kSlotLive;
    const int channelValue = dualMono ? ch + 1 : 0;
    int sameKind = 0;
    int freeSlot = -1;
    bool matched = false;
    for (int s = 0; s < kSlotCount; ++s) {
      if (TargetSlot(s, kSlotEnabled) > 0.5f) continue;
      LearnedFilter& r = actual_[s];
      if (r.kind == kind) ++sameKind;
      if (r.kind == kSlotEmpty) {
        if (freeSlot < 0) freeSlot = s;
        continue;
      }
      if (r.channel == channelValue &&
          std::fabs(std::log(f / r.frequencyHz)) < std::max(1.0 / r.q, 0.025)) {
        matched = true;
        r.confidence = static_cast<float>(confidence);
        if (r.kind == kSlotLive) {
          liveAge_[s] = 0.0;
          liveDepth_[s] = r.depthDb;
        }
      }
    }

    const int limit = static_cast<int>(Target(learning_ ? kParamFixedLimit : kParamLiveLimit));
    const double growth = Target(kParamGrowth);
    const bool grown = learning_ || growth == 0.0 ||
                       (level - d.startLevel) / std::max(d.persistence, hop) >= growth;
    if (!matched && freeSlot >= 0 && sameKind < limit &&
        d.persistence >= Target(kParamPersistence) * 0.001 && grown && d.cooldown == 0.0) {
      LearnedFilter& r = actual_[freeSlot];
      // A stored filter must stay within the range a saved state accepts; the
      // interpolated peak may lie half a bin beyond the detection range.
      r.frequencyHz = std::clamp(static_cast<float>(f), 20.0f, 20000.0f);
      r.depthDb = Target(kParamAutoDepth);
      r.q = Target(kParamAutoQ);
      r.confidence = static_cast<float>(confidence);
      r.kind = kind;
      r.channel = channelValue;
      liveAge_[freeSlot] = 0.0;
      liveDepth_[freeSlot] = Target(kParamAutoDepth);
      d.cooldown = Target(kParamCooldown);
      d.persistence = 0.0;
    }
  }
}

}  // namespace tarvex
