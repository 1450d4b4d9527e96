#include <algorithm>
#include <cmath>

#include "feedback_engine.h"

namespace tarvex {
namespace {

constexpr int kWindowPerStep = 128;
constexpr int kButterfliesPerStep = 160;
constexpr int kMagnitudesPerStep = 128;
constexpr int kDisplayBinsPerStep = 4;

// Largest mean-square pair power; its square root is the band's peak, since
// the square root is monotonic and correctly rounded.
double BandPeakPower(int first, int last, const double* m0, const double* m1) {
  double best = -1.0;
  for (int k = first; k <= last; ++k) best = std::max(best, (m0[k] * m0[k] + m1[k] * m1[k]) / 2.0);
  return best;
}

float ToDb(double magnitude) {
  return static_cast<float>(20.0 * std::log10(std::max(magnitude, 1e-12)));
}

}  // namespace

double BandPeakMagnitude(int first, int last, const double* m0, const double* m1) {
  if (last < first) return 0.0;
  return std::sqrt(BandPeakPower(first, last, m0, m1));
}

void FeedbackEngine::StartAnalyzer() {
  analyzerState_ = kWindow;
  analyzerOldest_ = ringWrite_;
  analyzerStep_ = 0;
  butterflyPass_ = 0;
  butterflyUnit_ = 0;
  butterflyCredit_ = 0;
}

void FeedbackEngine::StepAnalyzer() {
  switch (analyzerState_) {
    case kWindow: StepWindow(); break;
    case kButterflies: StepButterflies(); break;
    case kMagnitudes: StepMagnitudes(); break;
    case kDisplayBins: StepDisplayBins(); break;
    case kDetect:
      DetectFeedback();
      analyzerState_ = kIdle;
      break;
    default: break;
  }
}

// Each window step windows 128 points, as the pairs m and m + 4096 of the
// first butterfly pass, and runs that pass's butterfly on each pair; the
// butterfly steps then only charge the first pass's credit, so the analysis
// still takes the same number of calls. No step reads a ring slot that has
// been overwritten since the analysis started: step s reads offsets of at
// least 64·s from the oldest point, and at most s samples have been written.
void FeedbackEngine::StepWindow() {
  constexpr int kPairsPerStep = kWindowPerStep / 2;
  constexpr int kPairs = kRingSize / 2;
  const int end = std::min(analyzerStep_ + kPairsPerStep, kPairs);
  WindowFirstPass(ring_, analyzerOldest_, window_, bitReverse_, twiddleRe_, twiddleIm_, fft_,
                  analyzerStep_, end);
  analyzerStep_ = end;
  if (end == kPairs) {
    analyzerState_ = kButterflies;
    analyzerStep_ = 0;
  }
}

// The first pass has already run in the window steps; the others work on fft_
// in place. The transform takes exactly as many calls as 160 butterflies per
// call would (333); each call earns 160 butterflies of credit and runs whole units
// of the plan while the credit lasts, so no call does much more than its share.
void FeedbackEngine::StepButterflies() {
  butterflyCredit_ += kButterfliesPerStep;
  while (butterflyPass_ < kButterflyPasses) {
    const ButterflyPass& pass = kButterflyPlan[butterflyPass_];
    const int affordable = butterflyCredit_ / pass.cost;
    if (affordable == 0) break;
    const int end = std::min(pass.units, butterflyUnit_ + affordable);
    if (butterflyPass_ > 0)
      butterflies_({nullptr, bitReverse_, twiddleRe_, twiddleIm_, fft_}, pass, butterflyUnit_, end);
    butterflyCredit_ -= (end - butterflyUnit_) * pass.cost;
    butterflyUnit_ = end;
    if (butterflyUnit_ == pass.units) {
      butterflyUnit_ = 0;
      ++butterflyPass_;
    }
  }
  if (butterflyPass_ == kButterflyPasses) {
    analyzerState_ = kMagnitudes;
    analyzerStep_ = 0;
  }
}

void FeedbackEngine::StepMagnitudes() {
  const double sum = windowSum_;
  const int end = std::min(analyzerStep_ + kMagnitudesPerStep, kSpectrumBins);
  magnitudes_(fft_, sum, analyzerStep_, end, {inMag_[0], inMag_[1], outMag_[0], outMag_[1], linkedMag_});
  analyzerStep_ = end;
  if (end == kSpectrumBins) {
    analyzerState_ = kDisplayBins;
    analyzerStep_ = 0;
    working_.signal = false;
  }
}

void FeedbackEngine::StepDisplayBins() {
  const int end = std::min(analyzerStep_ + kDisplayBinsPerStep, kDisplayBinCount);
  for (int j = analyzerStep_; j < end; ++j) {
    const int lower = displayLower_[j];
    const int upper = displayUpper_[j];
    working_.inputSpectrumDb[j] = ToDb(BandPeakMagnitude(lower, upper, inMag_[0], inMag_[1]));
    working_.outputSpectrumDb[j] = ToDb(BandPeakMagnitude(lower, upper, outMag_[0], outMag_[1]));
    if (working_.inputSpectrumDb[j] > -100.0f) working_.signal = true;
  }
  analyzerStep_ = end;
  if (end == kDisplayBinCount) analyzerState_ = kDetect;
}

// A sweep of an unchanged bank would give the values the display already
// holds, so it is skipped; a reset makes the held values stale.
void FeedbackEngine::CopyBankForResponseDisplay() {
  bool changed = responseStale_;
  for (int ch = 0; ch < kEngineChannels; ++ch)
    for (int s = 0; s < kSlotCount; ++s) {
      const NotchSection& sec = sections_[ch][s];
      ResponseSection& copy = responseBank_[ch][s];
      if (copy.b0 != sec.b0 || copy.b1 != sec.b1 || copy.b2 != sec.b2 || copy.a1 != sec.a1 ||
          copy.a2 != sec.a2) {
        ++responseGeneration_[ch][s];
        changed = true;
      }
      if (copy.wet != sec.wet) changed = true;
      copy = {sec.b0, sec.b1, sec.b2, sec.a1, sec.a2, sec.wet};
    }
  if (changed) {
    responseBin_ = 0;
    responseStale_ = false;
  }
}

void FeedbackEngine::StepResponseDisplay() {
  if (responseBin_ >= kDisplayBinCount) return;
  if (responseParity_++ & 1u) return;
  const int a = responseBin_++;
  const ComplexValue z = displayZ_[a];
  const ComplexValue z2 = displayZ2_[a];
  for (int ch = 0; ch < kEngineChannels; ++ch) {
    ComplexValue h{1.0, 0.0};
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const ResponseSection& s = responseBank_[ch][slot];
      if (s.wet == 0.0) continue;
      ResponseCacheEntry& entry = responseCache_[a][ch][slot];
      if (entry.generation != responseGeneration_[ch][slot]) {
        entry.response = SectionResponse(s.b0, s.b1, s.b2, s.a1, s.a2, z, z2);
        entry.generation = responseGeneration_[ch][slot];
      }
      h = MixSectionResponse(h, entry.response, s.wet);
    }
    working_.responseDb[ch][a] = static_cast<float>(MagnitudeDb(h));
  }
}

}  // namespace tarvex
