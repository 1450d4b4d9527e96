#include <cstring>

#include "feedback_engine.h"

namespace tarvex {
namespace {

constexpr int kLearnedSetReadTries = 16;
constexpr int kSnapshotReadTries = 3;
constexpr unsigned kAllCommands = 31u;

void ApplyClearAndFreeze(unsigned bits, LearnedSet& set) {
  for (LearnedFilter& r : set) {
    if ((bits & kCommandClearFixed) && r.kind == kSlotFixed) r = LearnedFilter{};
    if ((bits & kCommandClearLive) && r.kind == kSlotLive) r = LearnedFilter{};
    if ((bits & kCommandFreezeLive) && r.kind == kSlotLive) r.kind = kSlotFixed;
  }
}

}  // namespace

bool FeedbackEngine::QueueCommand(unsigned bits) {
  if (bits == 0u || bits > kAllCommands) return false;
  commandWord_.fetch_or(bits);
  return true;
}

void FeedbackEngine::TakeCommands() {
  const std::uint32_t r = requestGeneration_.load();
  const std::uint32_t a = appliedGeneration_.load();
  if (r != a && (r & 1u) == 0u) {
    LearnedSet copy;
    if (TryReadLearnedSet(mailbox_, copy) && requestGeneration_.load() == r &&
        ValidateLearnedSet(copy)) {
      actual_ = copy;
      for (int s = 0; s < kSlotCount; ++s) {
        liveAge_[s] = 0.0;
        liveDepth_[s] = actual_[s].depthDb;
      }
      // Publish before marking the request applied, so a reader that sees it
      // applied also sees the installed set.
      PublishLearnedSet(publishedSet_.counter, publishedSet_.words, actual_);
      appliedGeneration_.exchange(r);
    }
  }

  const unsigned bits = commandWord_.exchange(0u);
  if (bits & kCommandStartLearning) {
    learning_ = Mode() == 1;
    for (DetectorChannel& d : detector_) d.persistence = 0.0;
  }
  if (bits & kCommandStopLearning) learning_ = false;
  for (int s = 0; s < kSlotCount; ++s) {
    const int kind = actual_[s].kind;
    if (((bits & kCommandClearFixed) && kind == kSlotFixed) ||
        ((bits & kCommandClearLive) && kind == kSlotLive))
      EmptySlot(s);
  }
  if (bits & kCommandFreezeLive)
    for (LearnedFilter& rec : actual_)
      if (rec.kind == kSlotLive) rec.kind = kSlotFixed;
  if (Mode() != 1) learning_ = false;
}

bool FeedbackEngine::RequestLearnedSet(const LearnedSet& set) {
  if (!ValidateLearnedSet(set)) return false;
  std::uint32_t r = requestGeneration_.load();
  if (r & 1u) return false;
  if (!requestGeneration_.compare_exchange_strong(r, r + 1u)) return false;
  PublishLearnedSet(mailbox_.counter, mailbox_.words, set);
  requestGeneration_.store(r + 2u);
  return true;
}

bool FeedbackEngine::ReadLearnedSet(LearnedSet& out) const {
  for (int attempt = 0; attempt < kLearnedSetReadTries; ++attempt) {
    const std::uint32_t r = requestGeneration_.load();
    if (r & 1u) continue;
    LearnedSet copy{};
    const SharedLearnedSet& source = r == appliedGeneration_.load() ? publishedSet_ : mailbox_;
    if (!TryReadLearnedSet(source, copy) || requestGeneration_.load() != r) continue;
    ApplyClearAndFreeze(commandWord_.load(), copy);
    out = copy;
    return true;
  }
  return false;
}

void FeedbackEngine::PublishSnapshot() {
  EngineSnapshot& image = publishImage_;
  image = working_;
  for (int n = 0; n < kDisplayBinCount; ++n)
    image.activeHistory[n] = working_.activeHistory[(historyIndex_ + n) % kDisplayBinCount];
  for (int ch = 0; ch < kEngineChannels; ++ch)
    for (int s = 0; s < kSlotCount; ++s) {
      const NotchSection& sec = sections_[ch][s];
      image.sections[ch][s] = {sec.b0, sec.b1, sec.b2, sec.a1, sec.a2, sec.wet};
    }
  image.sampleRate = sampleRate_;

  std::uint64_t words[kSnapshotWords] = {};
  std::memcpy(words, &image, sizeof(EngineSnapshot));
  // Each word is released after the odd counter, so a reader that sees any of
  // them also sees the counter move.
  snapshotCounter_.fetch_add(1u);
  for (int i = 0; i < kSnapshotWords; ++i)
    snapshotWords_[i].store(words[i], std::memory_order_release);
  snapshotCounter_.fetch_add(1u, std::memory_order_release);
}

void FeedbackEngine::ReadSnapshot(EngineSnapshot& out) const {
  std::uint64_t words[kSnapshotWords];
  for (int attempt = 0; attempt < kSnapshotReadTries; ++attempt) {
    const std::uint32_t before = snapshotCounter_.load(std::memory_order_acquire);
    if (before & 1u) continue;
    for (int i = 0; i < kSnapshotWords; ++i)
      words[i] = snapshotWords_[i].load(std::memory_order_acquire);
    if (snapshotCounter_.load(std::memory_order_relaxed) != before) continue;
    std::memcpy(&out, words, sizeof(EngineSnapshot));
    return;
  }
  out = EngineSnapshot{};
}

void FeedbackEngine::ReadMeters(EngineMeters& out) const {
  out.input = meters_[0].load(std::memory_order_relaxed);
  out.filtered = meters_[1].load(std::memory_order_relaxed);
  out.output = meters_[2].load(std::memory_order_relaxed);
  out.output0 = meters_[3].load(std::memory_order_relaxed);
  out.output1 = meters_[4].load(std::memory_order_relaxed);
}

}  // namespace tarvex
