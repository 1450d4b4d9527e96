#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "tarvex/engine/feedback_engine.h"

namespace tarvex {
namespace {

constexpr double kFloatMax = 3.4028234663852886e38;

float ToFiniteFloat(double v) {
  if (!std::isfinite(v)) return 0.0f;
  return static_cast<float>(std::clamp(v, -kFloatMax, kFloatMax));
}

typedef float FloatLanes __attribute__((vector_size(8)));

StereoLanes Magnitudes(StereoLanes v) { return (StereoLanes)((StereoMask)v & INT64_MAX); }

// Lane by lane the larger, or a where b is NaN, as std::max(a, b).
StereoLanes Larger(StereoLanes a, StereoLanes b) { return SelectLanes(a < b, b, a); }

// ToFiniteFloat on both lanes, the floats given back as doubles.
StereoLanes ToFiniteFloats(StereoLanes v) {
  const StereoLanes top{kFloatMax, kFloatMax}, bottom{-kFloatMax, -kFloatMax};
  const StereoMask finite = Magnitudes(v) <= StereoLanes{DBL_MAX, DBL_MAX};
  const StereoLanes clamped = SelectLanes(v < bottom, bottom, SelectLanes(top < v, top, v));
  const StereoLanes kept = SelectLanes(finite, clamped, StereoLanes{0.0, 0.0});
  return __builtin_convertvector(__builtin_convertvector(kept, FloatLanes), StereoLanes);
}

double ReadInput(const float* const* in, int ch, int i) {
  if (in == nullptr || in[ch] == nullptr) return 0.0;
  const double x = in[ch][i];
  return std::isfinite(x) ? x : 0.0;
}

} // namespace

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
    params_.smoothed = params_.target;
    params_.movingCount = 0;
    UpdateControl();
    snapAfterReset_ = false;
  }
  const double fs = sampleRate_;
  const double glide = 1.0 - std::exp(-1.0 / (0.02 * fs));
  const double k = 1.0 - std::exp(-1.0 / (0.003 * fs));
  const double b = (hostBypass || Target(kParamBypass) > 0.5f) ? 1.0 : 0.0;
  if (bypass_.startPending && frames != 0) {
    bypass_.value = b;
    bypass_.startPending = false;
  }

  // Per channel; the largest of a set is the same in any order.
  StereoLanes peakIn{0.0, 0.0}, peakFiltered{0.0, 0.0}, peakOut{0.0, 0.0};
  StereoLanes dry[kControlPeriod];
  StereoLanes wet[kControlPeriod];
  double crossfade[kControlPeriod];

  for (int done = 0; done < frames;) {
    const int n = std::min({frames - done, kControlPeriod - bank_.controlCounter,
                            kAnalysisHop - analyzer_.hopCounter});
    for (int r = 0; r < n; ++r) {
      StepAnalyzer();
      StepResponseDisplay();
      if (params_.movingCount > 0) StepGlide(glide);
      bypass_.value = bypass_.value + (b - bypass_.value) * k;
      if (std::fabs(b - bypass_.value) < 1e-10) bypass_.value = b;
      crossfade[r] = bypass_.value;
      if (bank_.controlCounter == 0) UpdateControl();
      bank_.controlCounter = (bank_.controlCounter + 1) % kControlPeriod;
      StepLiveAgeing();
    }

    for (int r = 0; r < n; ++r) {
      dry[r] = StereoLanes{ReadInput(in, 0, done + r), ReadInput(in, 1, done + r)};
      wet[r] = dry[r] * bank_.inputGain;
    }
    ProcessSections(wet, n);

    for (int r = 0; r < n; ++r) {
      const StereoLanes x = dry[r];
      const StereoLanes y = wet[r];
      const StereoLanes w = ((y - x) * bank_.mix + x) * bank_.outputGain;
      const StereoLanes o = ToFiniteFloats(crossfade[r] == 1.0 ? x : w + (x - w) * crossfade[r]);
      for (int ch = 0; ch < kEngineChannels; ++ch)
        if (out[ch] != nullptr) out[ch][done + r] = static_cast<float>(o[ch]);
      peakIn = Larger(peakIn, Magnitudes(x));
      peakFiltered = Larger(peakFiltered, Magnitudes(y));
      peakOut = Larger(peakOut, Magnitudes(o));
      StereoPoint& slot = analyzer_.ring[analyzer_.ringWrite];
      slot.re = StereoLanes{dry[r][0], o[0]};
      slot.im = StereoLanes{dry[r][1], o[1]};
      analyzer_.ringWrite = (analyzer_.ringWrite + 1) % kRingSize;
    }
    analyzer_.ringFill = std::min(analyzer_.ringFill + n, kRingSize);
    done += n;
    analyzer_.hopCounter += n;
    if (analyzer_.hopCounter == kAnalysisHop) {
      analyzer_.hopCounter = 0;
      EndOfHop();
    }
  }

  auto both = [](StereoLanes peak) { return ToFiniteFloat(std::max(peak[0], peak[1])); };
  exchange_.meters[0].store(both(peakIn), std::memory_order_relaxed);
  exchange_.meters[1].store(both(peakFiltered), std::memory_order_relaxed);
  exchange_.meters[2].store(both(peakOut), std::memory_order_relaxed);
  exchange_.meters[3].store(ToFiniteFloat(peakOut[0]), std::memory_order_relaxed);
  exchange_.meters[4].store(ToFiniteFloat(peakOut[1]), std::memory_order_relaxed);
  PublishLearnedSet(exchange_.publishedSet.counter, exchange_.publishedSet.words, learned_.actual);
}

void FeedbackEngine::StepGlide(double g) {
  int kept = 0;
  for (int n = 0; n < params_.movingCount; ++n) {
    const int i = params_.moving[n];
    const double t = params_.target[i];
    float s = static_cast<float>(params_.smoothed[i] + (t - params_.smoothed[i]) * g);
    if (std::fabs(t - s) < 1e-6) s = params_.target[i];
    params_.smoothed[i] = s;
    if (s != params_.target[i]) params_.moving[kept++] = static_cast<std::int16_t>(i);
  }
  params_.movingCount = kept;
}

// Every slot's age moves by its step (zero for all but Live slots), two
// slots to a vector; only when one is past the hold does a slot need more.
void FeedbackEngine::StepLiveAgeing() {
  typedef double Lanes __attribute__((vector_size(16), may_alias));
  static_assert(kSlotCount % 2 == 0, "slots fill whole vectors");
  const double hold = Target(kParamLiveHold);
  Lanes* age = reinterpret_cast<Lanes*>(learned_.liveAge.data());
  const Lanes* step = reinterpret_cast<const Lanes*>(learned_.liveStep.data());
  StereoMask beyondHold{0, 0};
  for (int v = 0; v < kSlotCount / 2; ++v) {
    const StereoLanes a = age[v] + step[v];
    age[v] = a;
    beyondHold |= a > hold;
  }
  if (beyondHold[0] | beyondHold[1]) RecoverLiveSlots(hold);
}

void FeedbackEngine::RecoverLiveSlots(double hold) {
  const double recovery = Target(kParamRecovery);
  for (int s = 0; s < kSlotCount; ++s) {
    if (learned_.actual[s].kind != kSlotLive) continue;
    if (learned_.liveAge[s] > hold) {
      learned_.liveDepth[s] = std::max(
          0.0, (1.0 - (learned_.liveAge[s] - hold) / recovery) * learned_.actual[s].depthDb);
      if (learned_.liveDepth[s] == 0.0) {
        learned_.actual[s] = LearnedFilter{};
        learned_.liveAge[s] = 0.0;
        learned_.liveStep[s] = 0.0;
      }
    }
  }
}

void FeedbackEngine::RefreshLiveSteps() {
  const double step = 1.0 / sampleRate_;
  for (int s = 0; s < kSlotCount; ++s)
    learned_.liveStep[s] = learned_.actual[s].kind == kSlotLive ? step : 0.0;
}

void FeedbackEngine::EmptySlot(int slot) {
  learned_.actual[slot] = LearnedFilter{};
  learned_.liveDepth[slot] = 0.0;
}

bool FeedbackEngine::AnalysisWanted() const {
  if (Target(kParamAnalyzer) > 0.5f || detector_.learning || CurrentMode() == Mode::kLiveAssist)
    return true;
  for (int s = 0; s < kSlotCount; ++s)
    if (TargetSlot(s, kSlotEnabled) > 0.5f && TargetSlot(s, kSlotDynamic) > 0.5f) return true;
  return false;
}

void FeedbackEngine::EndOfHop() {
  if (AnalysisWanted() && analyzer_.ringFill == kRingSize &&
      analyzer_.stage == AnalyzerStage::kIdle)
    StartAnalyzer();
  if (!(Target(kParamAnalyzer) > 0.5f)) {
    exchange_.working.inputSpectrumDb.fill(-120.0f);
    exchange_.working.outputSpectrumDb.fill(-120.0f);
  }
  exchange_.working.activeHistory[exchange_.historyIndex] = static_cast<float>(
      exchange_.working.fixedCount + exchange_.working.liveCount + exchange_.working.manualCount);
  exchange_.historyIndex = (exchange_.historyIndex + 1) % kDisplayBinCount;
  PublishSnapshot();
  CopyBankForResponseDisplay();
}

} // namespace tarvex
