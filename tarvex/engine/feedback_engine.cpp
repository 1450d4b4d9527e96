#include "tarvex/engine/feedback_engine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tarvex/engine/engine_constants.h"

namespace tarvex {
namespace {

constexpr StereoPoint kZeroPoint{{0.0, 0.0}, {0.0, 0.0}};

} // namespace

std::unique_ptr<FeedbackEngine> FeedbackEngine::Create() {
  return std::unique_ptr<FeedbackEngine>(new FeedbackEngine());
}

void FeedbackEngine::Destroy(std::unique_ptr<FeedbackEngine>& engine) { engine.reset(); }

FeedbackEngine::FeedbackEngine() {
  params_.target = DefaultParamValues();
  params_.smoothed = params_.target;
  for (int i = 0; i < kParamCount; ++i) params_.glides[i] = IsEnumParam(i) ? 0 : 1;
  for (auto& channel : bank_.sections)
    for (NotchSection& s : channel) s = NotchSection{};
  for (auto& channel : response_.bank)
    for (ResponseSection& s : channel) s = {1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  for (auto& channel : response_.generation)
    for (std::uint64_t& g : channel) g = 1;
  for (auto& bin : response_.cache)
    for (auto& channel : bin)
      for (ResponseDisplay::CacheEntry& e : channel) e = {{0.0, 0.0}, 0};
  Analyzer& a = analyzer_;
  std::fill(std::begin(a.ring), std::end(a.ring), kZeroPoint);
  std::fill(&a.buffers.groups[0][0], &a.buffers.groups[0][0] + 4 * kTransformPoints, 0.0);
  std::fill(&a.inPower[0][0], &a.inPower[0][0] + kEngineChannels * kSpectrumBins, 0.0);
  std::fill(std::begin(a.linkedPower), std::end(a.linkedPower), 0.0);
  std::fill(std::begin(a.outPower), std::end(a.outPower), 0.0);
  for (std::atomic<float>& m : exchange_.meters) m.store(0.0f);
  PublishLearnedSet(exchange_.publishedSet.counter, exchange_.publishedSet.words, learned_.actual);
  PublishLearnedSet(exchange_.mailbox.counter, exchange_.mailbox.words, learned_.actual);
  PublishSnapshot();
}

void FeedbackEngine::Prepare(double sampleRate, unsigned maxBlock) {
  if (!std::isfinite(sampleRate) || sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate ||
      maxBlock < 1u || maxBlock > 65536u)
    throw std::invalid_argument("Invalid Tarvex preparation");

  sampleRate_ = sampleRate;
  blockSize_ = static_cast<int>(maxBlock);
  prepared_ = true;
  Analyzer& a = analyzer_;
  const double top = std::min(TopFrequency(sampleRate), 20000.0);
  const double ratio = top / 20.0;
  for (int j = 0; j < kDisplayBinCount; ++j) {
    const double f = 20.0 * std::pow(ratio, j / 255.0);
    const double omega = -2.0 * kPi * f / sampleRate;
    const ComplexValue z{std::cos(omega), std::sin(omega)};
    response_.z[j] = z;
    response_.z2[j] = {z.re * z.re - z.im * z.im, 2.0 * z.re * z.im};
    const double lowerF = 20.0 * std::pow(ratio, std::max(j - 0.5, 0.0) / 255.0);
    const double upperF = 20.0 * std::pow(ratio, std::min(j + 0.5, 255.0) / 255.0);
    const double lower = std::floor(lowerF * kRingSize / sampleRate);
    const double upper = std::ceil(upperF * kRingSize / sampleRate);
    a.displayLower[j] = static_cast<int>(std::clamp(lower, 0.0, 4096.0));
    a.displayUpper[j] = static_cast<int>(std::clamp(upper, 0.0, 4096.0));
  }
  for (auto& channel : response_.generation)
    for (std::uint64_t& g : channel) ++g;
  Reset();
  params_.smoothed = params_.target;
  params_.movingCount = 0;
  for (int s = 0; s < kSlotCount; ++s) learned_.liveDepth[s] = learned_.actual[s].depthDb;
}

void FeedbackEngine::Reset() {
  for (auto& channel : bank_.sections)
    for (NotchSection& s : channel) s = NotchSection{};
  for (NotchLanes& l : bank_.lanes) l = NotchLanes{};
  bank_.activeCount = 0;
  bank_.controlCounter = 0;
  learned_.liveAge.fill(0.0);
  learned_.liveDepth.fill(0.0);
  Analyzer& a = analyzer_;
  std::fill(std::begin(a.ring), std::end(a.ring), kZeroPoint);
  std::fill(&a.inPower[0][0], &a.inPower[0][0] + kEngineChannels * kSpectrumBins, 0.0);
  std::fill(std::begin(a.linkedPower), std::end(a.linkedPower), 0.0);
  std::fill(std::begin(a.outPower), std::end(a.outPower), 0.0);
  a.stage = AnalyzerStage::kIdle;
  a.ringWrite = 0;
  a.ringFill = 0;
  a.hopCounter = 0;
  response_.bin = kDisplayBinCount;
  response_.stale = true;
  for (DetectorChannel& d : detector_.channels) d = DetectorChannel{};
  detector_.learning = false;
  snapAfterReset_ = true;
  bypass_ = BypassFade{};
  exchange_.historyIndex = 0;
  exchange_.working = EngineSnapshot{};
  for (std::atomic<float>& m : exchange_.meters) m.exchange(0.0f);
  PublishSnapshot();
}

void FeedbackEngine::SetParams(const float* values) {
  SanitizeParamValues(params_.target.data(), values);
  RebuildGlideList();
}

void FeedbackEngine::LoadParams(const float* values) {
  ParamGlide& p = params_;
  SanitizeParamValues(p.target.data(), values);
  for (int s = 0; s < kSlotCount; ++s) {
    const int f = SlotParamIndex(s, kSlotFrequency);
    const int q = SlotParamIndex(s, kSlotQ);
    if (p.smoothed[f] == p.target[f] && p.smoothed[q] == p.target[q]) continue;
    p.smoothed[f] = p.target[f];
    p.smoothed[q] = p.target[q];
    for (auto& channel : bank_.sections) channel[s].designGlides = false;
  }
  RebuildGlideList();
}

void FeedbackEngine::RebuildGlideList() {
  ParamGlide& p = params_;
  p.movingCount = 0;
  for (int i = 0; i < kParamCount; ++i)
    if (p.glides[i] && p.smoothed[i] != p.target[i])
      p.moving[p.movingCount++] = static_cast<std::int16_t>(i);
}

} // namespace tarvex
