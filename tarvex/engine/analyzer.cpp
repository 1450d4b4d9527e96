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
  butterflyLength_ = 2;
  butterflyStart_ = 0;
  butterflyJ_ = 0;
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

void FeedbackEngine::StepWindow() {
  const int end = std::min(analyzerStep_ + kWindowPerStep, kRingSize);
  for (int n = analyzerStep_; n < end; ++n) {
    const int p = (analyzerOldest_ + n) & (kRingSize - 1);
    const int r = bitReverse_[n];
    const double w = window_[n];
    inRe_[r] = w * inRing_[0][p];
    inIm_[r] = w * inRing_[1][p];
    outRe_[r] = w * outRing_[0][p];
    outIm_[r] = w * outRing_[1][p];
  }
  analyzerStep_ = end;
  if (end == kRingSize) {
    analyzerState_ = kButterflies;
    analyzerStep_ = 0;
  }
}

void FeedbackEngine::StepButterflies() {
  int budget = kButterfliesPerStep;
  while (butterflyLength_ <= kRingSize && budget > 0) {
    const int half = butterflyLength_ / 2;
    const int count = std::min(half - butterflyJ_, budget);
    const int top = butterflyStart_ + butterflyJ_;
    const int bottom = top + half;
    const double* wr = twiddleRe_ + half + butterflyJ_;
    const double* wi = twiddleIm_ + half + butterflyJ_;
    double* const xr[2] = {inRe_, outRe_};
    double* const xi[2] = {inIm_, outIm_};
    for (int buffer = 0; buffer < 2; ++buffer) {
      double* re = xr[buffer];
      double* im = xi[buffer];
      for (int n = 0; n < count; ++n) {
        const double ar = re[top + n], ai = im[top + n];
        const double br = re[bottom + n], bi = im[bottom + n];
        const double tr = wr[n] * br - wi[n] * bi;
        const double ti = wr[n] * bi + wi[n] * br;
        re[top + n] = ar + tr;
        im[top + n] = ai + ti;
        re[bottom + n] = ar - tr;
        im[bottom + n] = ai - ti;
      }
    }
    budget -= count;
    butterflyJ_ += count;
    if (butterflyJ_ == half) {
      butterflyJ_ = 0;
      butterflyStart_ += butterflyLength_;
      if (butterflyStart_ == kRingSize) {
        butterflyStart_ = 0;
        butterflyLength_ *= 2;
      }
    }
  }
  if (butterflyLength_ > kRingSize) {
    analyzerState_ = kMagnitudes;
    analyzerStep_ = 0;
  }
}

void FeedbackEngine::StepMagnitudes() {
  const double sum = windowSum_;
  const int end = std::min(analyzerStep_ + kMagnitudesPerStep, kSpectrumBins);
  for (int k = analyzerStep_; k < end; ++k) {
    const int mirror = (kRingSize - k) & (kRingSize - 1);
    {
      const double xr = inRe_[k], xi = inIm_[k], yr = inRe_[mirror], yi = inIm_[mirror];
      const double pr = xr + yr, pi = xi - yi, qr = xr - yr, qi = xi + yi;
      const double m0 = std::sqrt(pr * pr + pi * pi) / sum;
      const double m1 = std::sqrt(qr * qr + qi * qi) / sum;
      inMag_[0][k] = m0;
      inMag_[1][k] = m1;
      linkedMag_[k] = std::sqrt((m0 * m0 + m1 * m1) / 2.0);
    }
    {
      const double xr = outRe_[k], xi = outIm_[k], yr = outRe_[mirror], yi = outIm_[mirror];
      const double pr = xr + yr, pi = xi - yi, qr = xr - yr, qi = xi + yi;
      outMag_[0][k] = std::sqrt(pr * pr + pi * pi) / sum;
      outMag_[1][k] = std::sqrt(qr * qr + qi * qi) / sum;
    }
  }
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

void FeedbackEngine::CopyBankForResponseDisplay() {
  for (int ch = 0; ch < kEngineChannels; ++ch)
    for (int s = 0; s < kSlotCount; ++s) {
      const NotchSection& sec = sections_[ch][s];
      responseBank_[ch][s] = {sec.b0, sec.b1, sec.b2, sec.a1, sec.a2, sec.wet};
    }
  responseBin_ = 0;
}

void FeedbackEngine::StepResponseDisplay() {
  if (responseBin_ >= kDisplayBinCount) return;
  if (responseParity_++ & 1u) return;
  const int a = responseBin_++;
  const ComplexValue z = displayZ_[a];
  const ComplexValue z2 = displayZ2_[a];
  for (int ch = 0; ch < kEngineChannels; ++ch) {
    ComplexValue h{1.0, 0.0};
    for (const ResponseSection& s : responseBank_[ch]) {
      if (s.wet == 0.0) continue;
      h = ApplySectionResponse(h, s.b0, s.b1, s.b2, s.a1, s.a2, s.wet, z, z2);
    }
    working_.responseDb[ch][a] = static_cast<float>(MagnitudeDb(h));
  }
}

}  // namespace tarvex
