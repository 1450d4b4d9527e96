#include <algorithm>
#include <cmath>

#include "tarvex/engine/engine_constants.h"
#include "tarvex/engine/feedback_engine.h"
#include "tarvex/engine/tone_level.h"

namespace tarvex {
namespace {

// Bins this close to a peak lie in its own Hann main lobe; they carry the
// peak's energy, not that of a harmonic or a neighbour.
constexpr int kMainLobeBins = 2;

bool InMainLobe(int bin, int peak) { return std::abs(bin - peak) <= kMainLobeBins; }

} // namespace

bool FeedbackEngine::HarmonicBlocked(const double* m, int peak, double power, double guard) const {
  const double threshold = power * std::pow(10.0, 0.1 * (-6.0 - 0.24 * guard));
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

// The largest local maximum of the powers m within the detection range: bin
// -1 when there is none.
struct FeedbackEngine::Peak {
  int bin;
  double power;
};

void FeedbackEngine::DetectFeedback() {
  if (!detector_.learning && CurrentMode() != Mode::kLiveAssist) return;
  const double minF = Target(kParamMinFrequency);
  const double maxF = Target(kParamMaxFrequency);
  const bool dualMono =
      static_cast<int>(Target(kParamRouting)) == static_cast<int>(Routing::kDualMono);
  const int channels = dualMono ? 2 : 1;
  for (int ch = 0; ch < channels; ++ch)
    DetectOnChannel(ch, dualMono, std::min(minF, maxF), std::max(minF, maxF));
}

void FeedbackEngine::DetectOnChannel(int channel, bool dualMono, double low, double high) {
  DetectorChannel& d = detector_.channels[channel];
  const double* m = dualMono ? analyzer_.inPower[channel] : analyzer_.linkedPower;
  const double hop = kAnalysisHop / sampleRate_;

  const Peak peak = FindPeak(m, low, high);
  d.cooldown = std::max(d.cooldown - hop, 0.0);
  if (peak.bin < 0) {
    d.persistence = 0.0;
    return;
  }
  const double level = PowerDb(peak.power);
  if (Target(kParamNoiseFloor) > level) {
    d.persistence = 0.0;
    return;
  }

  const double prominence = Prominence(m, peak.bin, level);
  const double threshold = (50.0 - Target(kParamSensitivity)) * 0.12 + Target(kParamProminence);
  const bool blocked = HarmonicBlocked(m, peak.bin, peak.power, Target(kParamHarmonicGuard));
  const double f = InterpolatedFrequency(m, peak.bin);
  if (prominence < threshold || blocked) {
    d.persistence = 0.0;
    d.lastLevel = level;
    d.lastFrequency = f;
    return;
  }
  TrackPersistence(d, f, level, dualMono ? static_cast<ToneInput>(channel) : ToneInput::kBoth);

  const double confidence = std::clamp((prominence - threshold) / 12.0 + 0.5, 0.0, 1.0);
  exchange_.working.candidateFrequency = static_cast<float>(f);
  exchange_.working.candidateConfidence = static_cast<float>(confidence);

  const bool learning = detector_.learning;
  const int kind = learning ? kSlotFixed : kSlotLive;
  const int channelValue = dualMono ? channel + 1 : 0;
  int sameKind = 0;
  int freeSlot = -1;
  const bool matched =
      RefreshMatchingFilters(kind, channelValue, f, confidence, sameKind, freeSlot);

  const int limit = static_cast<int>(Target(learning ? kParamFixedLimit : kParamLiveLimit));
  const double growth = Target(kParamGrowth);
  const bool persisted = d.persistence >= Target(kParamPersistence) * 0.001;
  // A candidate that has shown its growth keeps it while it stays: a howl
  // that a limiter holds does not grow any more while the cooldown runs.
  if (persisted && d.climb.Growth() >= growth) d.grown = true;
  const bool grown = learning || growth == 0.0 || d.grown;
  if (!matched && freeSlot >= 0 && sameKind < limit && persisted && grown && d.cooldown == 0.0)
    PlaceFilter(d, freeSlot, kind, channelValue, f, confidence);
}

FeedbackEngine::Peak FeedbackEngine::FindPeak(const double* m, double low, double high) const {
  const double fs = sampleRate_;
  const int first = std::max(static_cast<int>(std::ceil(low * kRingSize / fs)), 2);
  const int last =
      std::min(static_cast<int>(std::min(TopFrequency(fs), high) * kRingSize / fs), 4094);
  Peak peak{-1, 0.0};
  for (int k = first; k <= last; ++k) {
    const double v = m[k];
    if ((peak.bin < 0 || v > peak.power) && m[k - 1] <= v && m[k + 1] < v) peak = {k, v};
  }
  return peak;
}

// How far the peak's level stands above the mean power of the bins 3 to 8
// away on either side, in dB.
double FeedbackEngine::Prominence(const double* m, int bin, double level) const {
  double sum = 0.0;
  int count = 0;
  for (int j = 3; j <= 8; ++j) {
    for (int k : {bin + j, bin - j}) {
      if (k < 0 || k > 4096) continue;
      sum += m[k];
      ++count;
    }
  }
  return level - PowerDb(sum / std::max(count, 1));
}

// The peak's frequency, refined by a parabola through the log magnitudes of
// the peak bin and its two neighbours (the log powers give the same vertex:
// they are the log magnitudes doubled).
double FeedbackEngine::InterpolatedFrequency(const double* m, int bin) const {
  const double a = std::log(std::max(m[bin - 1], 1e-40));
  const double b = std::log(m[bin]);
  const double c = std::log(std::max(m[bin + 1], 1e-40));
  double offset = 0.5 * (a - c) / (a - 2.0 * b + c);
  offset = std::isfinite(offset) ? std::clamp(offset, -0.5, 0.5) : 0.0;
  return (bin + offset) * sampleRate_ / kRingSize;
}

// A peak near the last one's frequency continues it; any other starts anew.
// The level at the candidate's frequency is followed measure by measure; a
// new candidate first reads the level history the analysis ring holds, so a
// climb that began before it stood out is still seen. So does one whose
// input changed with the routing: its levels so far were of another signal.
void FeedbackEngine::TrackPersistence(DetectorChannel& d, double frequency, double level,
                                      ToneInput input) const {
  const double fs = sampleRate_;
  const double hop = kAnalysisHop / fs;
  const bool continues =
      std::fabs(frequency - d.lastFrequency) < std::max(0.02 * frequency, 2.0 * fs / kRingSize);
  const Analyzer& a = analyzer_;
  const bool fresh = !continues || d.persistence == 0.0;
  if (fresh) {
    d.persistence = hop;
    d.grown = false;
  } else {
    d.persistence += hop;
    d.unmeasured += kAnalysisHop;
  }
  if (fresh || input != d.toneInput) {
    d.climb.Restart();
    d.toneInput = input;
    d.toneBlock = ToneBlockSize(frequency, fs);
    d.unmeasured = kRingSize;
  }
  const int blocks = d.unmeasured / d.toneBlock;
  double levels[kRingSize / kToneBlockMin];
  const int start = (a.ringWrite - d.unmeasured) & (kRingSize - 1);
  MeasureToneLevels(a.ring, a.tables.window, start, d.toneBlock, blocks, frequency, fs, input,
                    levels);
  for (int b = 0; b < blocks; ++b) d.climb.Add(levels[b], d.toneBlock / fs);
  d.unmeasured -= blocks * d.toneBlock;
  d.lastFrequency = frequency;
  d.lastLevel = level;
}

// Learned filters of the channel close enough to the frequency take the new
// confidence, and matching Live filters start their hold again; also counts
// the filters of the kind and finds the first free slot (-1 if none).
bool FeedbackEngine::RefreshMatchingFilters(int kind, int channelValue, double frequency,
                                            double confidence, int& sameKind, int& freeSlot) {
  bool matched = false;
  for (int s = 0; s < kSlotCount; ++s) {
    if (TargetSlot(s, kSlotEnabled) > 0.5f) continue;
    LearnedFilter& r = learned_.actual[s];
    if (r.kind == kind) ++sameKind;
    if (r.kind == kSlotEmpty) {
      if (freeSlot < 0) freeSlot = s;
      continue;
    }
    if (r.channel == channelValue &&
        std::fabs(std::log(frequency / r.frequencyHz)) < std::max(1.0 / r.q, 0.025)) {
      matched = true;
      r.confidence = static_cast<float>(confidence);
      if (r.kind == kSlotLive) {
        learned_.liveAge[s] = 0.0;
        learned_.liveDepth[s] = r.depthDb;
      }
    }
  }
  return matched;
}

void FeedbackEngine::PlaceFilter(DetectorChannel& d, int slot, int kind, int channelValue,
                                 double frequency, double confidence) {
  LearnedFilter& r = learned_.actual[slot];
  // A stored filter must stay within the range a saved state accepts; the
  // interpolated peak may lie half a bin beyond the detection range.
  r.frequencyHz = std::clamp(static_cast<float>(frequency), 20.0f, 20000.0f);
  r.depthDb = Target(kParamAutoDepth);
  r.q = Target(kParamAutoQ);
  r.confidence = static_cast<float>(confidence);
  r.kind = kind;
  r.channel = channelValue;
  learned_.liveAge[slot] = 0.0;
  learned_.liveDepth[slot] = Target(kParamAutoDepth);
  RefreshLiveSteps();
  d.cooldown = Target(kParamCooldown);
  d.persistence = 0.0;
}

} // namespace tarvex
