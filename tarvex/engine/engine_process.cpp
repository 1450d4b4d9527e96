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

  for (int i = 0; i < frames; ++i) {
    StepAnalyzer();
    StepResponseDisplay();
    if (glideCount_ > 0) StepGlide(glide);
    crossfade_ = crossfade_ + (b - crossfade_) * k;
    if (std::fabs(b - crossfade_) < 1e-10) crossfade_ = b;
    if (controlCounter_ == 0) UpdateControl();
    controlCounter_ = (controlCounter_ + 1) % kControlPeriod;
    StepLiveAgeing();

    const double x[kEngineChannels] = {ReadInput(in, 0, i), ReadInput(in, 1, i)};
    double y[kEngineChannels] = {x[0] * inputGain_, x[1] * inputGain_};
    ProcessSections(y[0], y[1]);
    for (int ch = 0; ch < kEngineChannels; ++ch) {
      const double w = ((y[ch] - x[ch]) * mix_ + x[ch]) * outputGain_;
      double o = w + (x[ch] - w) * crossfade_;
      if (crossfade_ == 1.0) o = x[ch];
      const float of = ToFiniteFloat(o);
      if (out[ch] != nullptr) out[ch][i] = of;
      inRing_[ch][ringWrite_] = x[ch];
      outRing_[ch][ringWrite_] = of;
      peakIn = std::max(peakIn, std::fabs(x[ch]));
      peakFiltered = std::max(peakFiltered, std::fabs(y[ch]));
      peakOut = std::max(peakOut, std::fabs(static_cast<double>(of)));
      peakOutCh[ch] = std::max(peakOutCh[ch], std::fabs(static_cast<double>(of)));
    }
    ringWrite_ = (ringWrite_ + 1) % kRingSize;
    ringFill_ = std::min(ringFill_ + 1, kRingSize);
    if (++hopCounter_ == kAnalysisHop) {
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
