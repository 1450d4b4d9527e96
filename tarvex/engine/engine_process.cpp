#include <algorithm>
#include <cmath>

#include "feedback_engine.h"

namespace tarvex {
namespace {

constexpr double kFloatMax = 3.4028234663852886e38;

float ToFiniteFloat(double v) {
  if (!std::isfinite(v)) return 0.0f;
  return static_cast<float>(std::clamp(v, -kFloatMax, kFloatMax));
}

double ReadInput(const float* const* in, int ch, int i) {
  if (in == nullptr || in[ch] == nullptr) return 0.0;
  const double x = in[ch][i];
  return std::isfinite(x) ? x : 0.0;
}

}  // namespace

// Samples are handled in runs that end at the next control update or
// analysis hop. Within a run the per-sample bookkeeping (analyser, response
// sweep, glide, crossfade, Live ageing) runs first, then the audio of the
// whole run: the bank's coefficients, gains and mix only change at a control
// update, and the analyser only reads ring samples older than the run, so
// every sample sees exactly what it would see one at a time.
void FeedbackEngine::Process(const float* const* in, float* const* out, int frames,
                             bool hostBypass) {
  if (out == nullptr || frames < 0 || frames > blockSize_) return;
  if (!prepared_) {
    for (int ch = 0; ch < kEngineChannels; ++ch)
      if (out[ch] != nullptr && frames > 0) std::fill(out[ch], out[ch] + frames, 0.0f);
    return;
  }
  TakeCommands();
  if (snapAfterReset_) {
    smoothed_ = target_;
    glideCount_ = 0;
    UpdateControl();
    snapAfterReset_ = false;
  }
  const double fs = sampleRate_;
  const double glide = 1.0 - std::exp(-1.0 / (0.02 * fs));
  const double k = 1.0 - std::exp(-1.0 / (0.003 * fs));
  const double b = (hostBypass || Target(kParamBypass) > 0.5f) ? 1.0 : 0.0;
  if (crossfadeInit_ && frames != 0) {
    crossfade_ = b;
    crossfadeInit_ = false;
  }

  double peakIn = 0.0, peakFiltered = 0.0, peakOut = 0.0;
  double peakOutCh[kEngineChannels] = {0.0, 0.0};
  StereoLanes dry[kControlPeriod];
  StereoLanes wet[kControlPeriod];
  double crossfade[kControlPeriod];

  for (int done = 0; done < frames;) {
    const int n = std::min({frames - done, kControlPeriod - controlCounter_,
                            kAnalysisHop - hopCounter_});
    for (int r = 0; r < n; ++r) {
      StepAnalyzer();
      StepResponseDisplay();
      if (glideCount_ > 0) StepGlide(glide);
      crossfade_ = crossfade_ + (b - crossfade_) * k;
      if (std::fabs(b - crossfade_) < 1e-10) crossfade_ = b;
      crossfade[r] = crossfade_;
      if (controlCounter_ == 0) UpdateControl();
      controlCounter_ = (controlCounter_ + 1) % kControlPeriod;
      StepLiveAgeing();
    }

    for (int r = 0; r < n; ++r) {
      dry[r] = StereoLanes{ReadInput(in, 0, done + r), ReadInput(in, 1, done + r)};
      wet[r] = dry[r] * inputGain_;
    }
    ProcessSections(wet, n);

    for (int r = 0; r < n; ++r) {
      float o[kEngineChannels];
      for (int ch = 0; ch < kEngineChannels; ++ch) {
        const double x = dry[r][ch];
        const double y = wet[r][ch];
        const double w = ((y - x) * mix_ + x) * outputGain_;
        const double mixed = crossfade[r] == 1.0 ? x : w + (x - w) * crossfade[r];
        o[ch] = ToFiniteFloat(mixed);
        if (out[ch] != nullptr) out[ch][done + r] = o[ch];
        peakIn = std::max(peakIn, std::fabs(x));
        peakFiltered = std::max(peakFiltered, std::fabs(y));
        peakOut = std::max(peakOut, std::fabs(static_cast<double>(o[ch])));
        peakOutCh[ch] = std::max(peakOutCh[ch], std::fabs(static_cast<double>(o[ch])));
      }
      StereoPoint& slot = ring_[ringWrite_];
      slot.re = StereoLanes{dry[r][0], o[0]};
      slot.im = StereoLanes{dry[r][1], o[1]};
      ringWrite_ = (ringWrite_ + 1) % kRingSize;
    }
    ringFill_ = std::min(ringFill_ + n, kRingSize);
    done += n;
    hopCounter_ += n;
    if (hopCounter_ == kAnalysisHop) {
      hopCounter_ = 0;
      EndOfHop();
    }
  }

  meters_[0].store(ToFiniteFloat(peakIn), std::memory_order_relaxed);
  meters_[1].store(ToFiniteFloat(peakFiltered), std::memory_order_relaxed);
  meters_[2].store(ToFiniteFloat(peakOut), std::memory_order_relaxed);
  meters_[3].store(ToFiniteFloat(peakOutCh[0]), std::memory_order_relaxed);
  meters_[4].store(ToFiniteFloat(peakOutCh[1]), std::memory_order_relaxed);
  PublishLearnedSet(publishedSet_.counter, publishedSet_.words, actual_);
}

void FeedbackEngine::StepGlide(double g) {
  int kept = 0;
  for (int n = 0; n < glideCount_; ++n) {
    const int i = glideList_[n];
    const double t = target_[i];
    float s = static_cast<float>(smoothed_[i] + (t - smoothed_[i]) * g);
    if (std::fabs(t - s) < 1e-6) s = target_[i];
    smoothed_[i] = s;
    if (s != target_[i]) glideList_[kept++] = static_cast<std::int16_t>(i);
  }
  glideCount_ = kept;
}

void FeedbackEngine::StepLiveAgeing() {
  const double hold = Target(kParamLiveHold);
  const double recovery = Target(kParamRecovery);
  const double step = 1.0 / sampleRate_;
  for (int s = 0; s < kSlotCount; ++s) {
    if (actual_[s].kind != kSlotLive) continue;
    liveAge_[s] += step;
    if (liveAge_[s] > hold) {
      liveDepth_[s] = std::max(0.0, (1.0 - (liveAge_[s] - hold) / recovery) * actual_[s].depthDb);
      if (liveDepth_[s] == 0.0) {
        actual_[s] = LearnedFilter{};
        liveAge_[s] = 0.0;
      }
    }
  }
}

void FeedbackEngine::EmptySlot(int slot) {
  actual_[slot] = LearnedFilter{};
  liveDepth_[slot] = 0.0;
}

bool FeedbackEngine::AnalysisWanted() const {
  if (Target(kParamAnalyzer) > 0.5f || learning_ || Mode() == 2) return true;
  for (int s = 0; s < kSlotCount; ++s)
    if (TargetSlot(s, kSlotEnabled) > 0.5f && TargetSlot(s, kSlotDynamic) > 0.5f) return true;
  return false;
}

void FeedbackEngine::EndOfHop() {
  if (AnalysisWanted() && ringFill_ == kRingSize && analyzerState_ == kIdle) StartAnalyzer();
  if (!(Target(kParamAnalyzer) > 0.5f)) {
    working_.inputSpectrumDb.fill(-120.0f);
    working_.outputSpectrumDb.fill(-120.0f);
  }
  working_.activeHistory[historyIndex_] =
      static_cast<float>(working_.fixedCount + working_.liveCount + working_.manualCount);
  historyIndex_ = (historyIndex_ + 1) % kDisplayBinCount;
  PublishSnapshot();
  CopyBankForResponseDisplay();
}

}  // namespace tarvex
