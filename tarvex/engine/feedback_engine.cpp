#include "feedback_engine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tarvex {
namespace {

constexpr double kPi = 3.14159265358979323846;

int ReverseBits13(int n) {
  int r = 0;
  for (int b = 0; b < 13; ++b) r |= ((n >> b) & 1) << (12 - b);
  return r;
}

}  // namespace

std::unique_ptr<FeedbackEngine> FeedbackEngine::Create() {
  return std::unique_ptr<FeedbackEngine>(new FeedbackEngine());
}

void FeedbackEngine::Destroy(std::unique_ptr<FeedbackEngine>& engine) { engine.reset(); }

FeedbackEngine::FeedbackEngine() {
  target_ = DefaultParamValues();
  smoothed_ = target_;
  for (int i = 0; i < kParamCount; ++i) glideFlags_[i] = IsEnumParam(i) ? 0 : 1;
  for (auto& channel : sections_)
    for (NotchSection& s : channel) s = NotchSection{};
  for (auto& channel : responseBank_)
    for (ResponseSection& s : channel) s = {1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  for (auto& channel : responseGeneration_)
    for (std::uint64_t& g : channel) g = 1;
  for (auto& bin : responseCache_)
    for (auto& channel : bin)
      for (ResponseCacheEntry& e : channel) e = {{0.0, 0.0}, 0};
  std::fill(std::begin(ring_), std::end(ring_), StereoPoint{{0.0, 0.0}, {0.0, 0.0}});
  std::fill(std::begin(fft_), std::end(fft_), StereoPoint{{0.0, 0.0}, {0.0, 0.0}});
  std::fill(std::begin(window_), std::end(window_), 0.0);
  std::fill(std::begin(bitReverse_), std::end(bitReverse_), 0);
  std::fill(std::begin(twiddleRe_), std::end(twiddleRe_), 0.0);
  std::fill(std::begin(twiddleIm_), std::end(twiddleIm_), 0.0);
  std::fill(&inMag_[0][0], &inMag_[0][0] + kEngineChannels * kSpectrumBins, 0.0);
  std::fill(&outMag_[0][0], &outMag_[0][0] + kEngineChannels * kSpectrumBins, 0.0);
  std::fill(std::begin(linkedMag_), std::end(linkedMag_), 0.0);
  for (std::atomic<float>& m : meters_) m.store(0.0f);
  PublishLearnedSet(publishedSet_.counter, publishedSet_.words, actual_);
  PublishLearnedSet(mailbox_.counter, mailbox_.words, actual_);
  PublishSnapshot();
}

void FeedbackEngine::Prepare(double sampleRate, unsigned maxBlock) {
  if (!std::isfinite(sampleRate) || sampleRate < 22050.0 || sampleRate > 192000.0 ||
      maxBlock < 1u || maxBlock > 65536u)
    throw std::invalid_argument("Invalid Tarvex preparation");

  sampleRate_ = sampleRate;
  blockSize_ = static_cast<int>(maxBlock);
  prepared_ = true;
  windowSum_ = 0.0;
  for (int n = 0; n < kRingSize; ++n) {
    window_[n] = 0.5 - 0.5 * std::cos(2.0 * kPi * n / kRingSize);
    windowSum_ += window_[n];
    bitReverse_[n] = static_cast<std::uint16_t>(ReverseBits13(n));
  }
  for (int length = 2; length <= kRingSize; length *= 2) {
    const double angle = -2.0 * kPi / length;
    const double rotRe = std::cos(angle);
    const double rotIm = std::sin(angle);
    double wRe = 1.0;
    double wIm = 0.0;
    for (int j = 0; j < length / 2; ++j) {
      twiddleRe_[length / 2 + j] = wRe;
      twiddleIm_[length / 2 + j] = wIm;
      const double nextRe = wRe * rotRe - wIm * rotIm;
      wIm = wRe * rotIm + wIm * rotRe;
      wRe = nextRe;
    }
  }
  const double top = std::min(0.49 * sampleRate, 20000.0);
  const double ratio = top / 20.0;
  for (int j = 0; j < kDisplayBinCount; ++j) {
    const double f = 20.0 * std::pow(ratio, j / 255.0);
    const double omega = -2.0 * kPi * f / sampleRate;
    const ComplexValue z{std::cos(omega), std::sin(omega)};
    displayZ_[j] = z;
    displayZ2_[j] = {z.re * z.re - z.im * z.im, 2.0 * z.re * z.im};
    const double lowerF = 20.0 * std::pow(ratio, std::max(j - 0.5, 0.0) / 255.0);
    const double upperF = 20.0 * std::pow(ratio, std::min(j + 0.5, 255.0) / 255.0);
    const double lower = std::floor(lowerF * kRingSize / sampleRate);
    const double upper = std::ceil(upperF * kRingSize / sampleRate);
    displayLower_[j] = static_cast<int>(std::clamp(lower, 0.0, 4096.0));
    displayUpper_[j] = static_cast<int>(std::clamp(upper, 0.0, 4096.0));
  }
  for (auto& channel : responseGeneration_)
    for (std::uint64_t& g : channel) ++g;
  Reset();
  smoothed_ = target_;
  glideCount_ = 0;
  for (int s = 0; s < kSlotCount; ++s) liveDepth_[s] = actual_[s].depthDb;
}

void FeedbackEngine::Reset() {
  for (auto& channel : sections_)
    for (NotchSection& s : channel) s = NotchSection{};
  for (NotchLanes& l : lanes_) l = NotchLanes{};
  activeCount_ = 0;
  liveAge_.fill(0.0);
  liveDepth_.fill(0.0);
  std::fill(std::begin(ring_), std::end(ring_), StereoPoint{{0.0, 0.0}, {0.0, 0.0}});
  std::fill(&inMag_[0][0], &inMag_[0][0] + kEngineChannels * kSpectrumBins, 0.0);
  std::fill(&outMag_[0][0], &outMag_[0][0] + kEngineChannels * kSpectrumBins, 0.0);
  std::fill(std::begin(linkedMag_), std::end(linkedMag_), 0.0);
  analyzerState_ = kIdle;
  responseBin_ = kDisplayBinCount;
  responseStale_ = true;
  ringWrite_ = 0;
  ringFill_ = 0;
  hopCounter_ = 0;
  controlCounter_ = 0;
  historyIndex_ = 0;
  for (DetectorChannel& d : detector_) d = DetectorChannel{};
  snapAfterReset_ = true;
  learning_ = false;
  crossfadeInit_ = true;
  crossfade_ = 0.0;
  working_ = EngineSnapshot{};
  for (std::atomic<float>& m : meters_) m.exchange(0.0f);
  PublishSnapshot();
}

void FeedbackEngine::SetParams(const float* values) {
  SanitizeParamValues(target_.data(), values);
  RebuildGlideList();
}

void FeedbackEngine::RebuildGlideList() {
  glideCount_ = 0;
  for (int i = 0; i < kParamCount; ++i)
    if (glideFlags_[i] && smoothed_[i] != target_[i])
      glideList_[glideCount_++] = static_cast<std::int16_t>(i);
}

}  // namespace tarvex
