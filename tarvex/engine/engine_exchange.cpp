#include <cstring>

#include "tarvex/engine/feedback_engine.h"

namespace tarvex {
namespace {

constexpr int kLearnedSetReadTries = 16;
constexpr int kSnapshotReadTries = 3;
constexpr unsigned kAllCommands = 31u;
constexpr unsigned kSetCommands = kCommandClearFixed | kCommandClearLive | kCommandFreezeLive;

void ApplyClearAndFreeze(unsigned bits, LearnedSet& set) {
  for (LearnedFilter& r : set) {
    if ((bits & kCommandClearFixed) && r.kind == kSlotFixed) r = LearnedFilter{};
    if ((bits & kCommandClearLive) && r.kind == kSlotLive) r = LearnedFilter{};
    if ((bits & kCommandFreezeLive) && r.kind == kSlotLive) r.kind = kSlotFixed;
  }
}

} // namespace

bool FeedbackEngine::QueueCommand(unsigned bits) {
  if (bits == 0u || bits > kAllCommands) return false;
  exchange_.commandWord.fetch_or(bits);
  return true;
}

void FeedbackEngine::TakeRequestedLearnedSet() {
  const std::uint32_t r = exchange_.requestGeneration.load();
  const std::uint32_t a = exchange_.appliedGeneration.load();
  if (r != a && (r & 1u) == 0u) {
    LearnedSet copy;
    if (TryReadLearnedSet(exchange_.mailbox, copy) && exchange_.requestGeneration.load() == r &&
        ValidateLearnedSet(copy)) {
      learned_.actual = copy;
      for (int s = 0; s < kSlotCount; ++s) {
        learned_.liveAge[s] = 0.0;
        learned_.liveDepth[s] = learned_.actual[s].depthDb;
      }
      // Publish before marking the request applied, so a reader that sees it
      // applied also sees the installed set.
      PublishLearnedSet(exchange_.publishedSet.counter, exchange_.publishedSet.words,
                        learned_.actual);
      exchange_.appliedGeneration.exchange(r);
    }
  }
}

void FeedbackEngine::TakeCommands() {
  TakeRequestedLearnedSet();
  const unsigned bits = exchange_.commandWord.exchange(0u);
  if (bits & kCommandStartLearning) {
    detector_.learning = CurrentMode() == Mode::kLearnFixed;
    for (DetectorChannel& d : detector_.channels) d.persistence = 0.0;
  }
  if (bits & kCommandStopLearning) detector_.learning = false;
  for (int s = 0; s < kSlotCount; ++s) {
    const int kind = learned_.actual[s].kind;
    if (((bits & kCommandClearFixed) && kind == kSlotFixed) ||
        ((bits & kCommandClearLive) && kind == kSlotLive))
      EmptySlot(s);
  }
  if (bits & kCommandFreezeLive)
    for (LearnedFilter& rec : learned_.actual)
      if (rec.kind == kSlotLive) rec.kind = kSlotFixed;
  if (CurrentMode() != Mode::kLearnFixed) detector_.learning = false;
  RefreshLiveSteps();
}

bool FeedbackEngine::RequestLearnedSet(const LearnedSet& set) {
  if (!ValidateLearnedSet(set)) return false;
  std::uint32_t r = exchange_.requestGeneration.load();
  if (r & 1u) return false;
  if (!exchange_.requestGeneration.compare_exchange_strong(r, r + 1u)) return false;
  // Clear and freeze commands still queued were given for the set this one
  // replaces (bank swaps and state saves read it with them applied); the
  // engine must not apply them to this one.
  exchange_.commandWord.fetch_and(~kSetCommands);
  PublishLearnedSet(exchange_.mailbox.counter, exchange_.mailbox.words, set);
  exchange_.requestGeneration.store(r + 2u);
  return true;
}

bool FeedbackEngine::ReadLearnedSet(LearnedSet& out) const {
  for (int attempt = 0; attempt < kLearnedSetReadTries; ++attempt) {
    const std::uint32_t r = exchange_.requestGeneration.load();
    if (r & 1u) continue;
    LearnedSet copy{};
    const SharedLearnedSet& source =
        r == exchange_.appliedGeneration.load() ? exchange_.publishedSet : exchange_.mailbox;
    if (!TryReadLearnedSet(source, copy) || exchange_.requestGeneration.load() != r) continue;
    ApplyClearAndFreeze(exchange_.commandWord.load(), copy);
    out = copy;
    return true;
  }
  return false;
}

void FeedbackEngine::PublishSnapshot() {
  EngineSnapshot& image = exchange_.publishImage;
  image = exchange_.working;
  for (int n = 0; n < kDisplayBinCount; ++n)
    image.activeHistory[n] =
        exchange_.working.activeHistory[(exchange_.historyIndex + n) % kDisplayBinCount];
  for (int ch = 0; ch < kEngineChannels; ++ch)
    for (int s = 0; s < kSlotCount; ++s) {
      const NotchSection& sec = bank_.sections[ch][s];
      image.sections[ch][s] = {sec.b0, sec.b1, sec.b2, sec.a1, sec.a2, sec.wet};
    }
  image.sampleRate = sampleRate_;

  std::uint64_t words[Exchange::kSnapshotWords] = {};
  std::memcpy(words, &image, sizeof(EngineSnapshot));
  // Each word is released after the odd counter, so a reader that sees any of
  // them also sees the counter move.
  exchange_.snapshotCounter.fetch_add(1u);
  for (int i = 0; i < Exchange::kSnapshotWords; ++i)
    exchange_.snapshotWords[i].store(words[i], std::memory_order_release);
  exchange_.snapshotCounter.fetch_add(1u, std::memory_order_release);
}

void FeedbackEngine::ReadSnapshot(EngineSnapshot& out) const {
  std::uint64_t words[Exchange::kSnapshotWords];
  for (int attempt = 0; attempt < kSnapshotReadTries; ++attempt) {
    const std::uint32_t before = exchange_.snapshotCounter.load(std::memory_order_acquire);
    if (before & 1u) continue;
    for (int i = 0; i < Exchange::kSnapshotWords; ++i)
      words[i] = exchange_.snapshotWords[i].load(std::memory_order_acquire);
    if (exchange_.snapshotCounter.load(std::memory_order_relaxed) != before) continue;
    std::memcpy(&out, words, sizeof(EngineSnapshot));
    return;
  }
  out = EngineSnapshot{};
}

void FeedbackEngine::ReadMeters(EngineMeters& out) const {
  out.input = exchange_.meters[0].load(std::memory_order_relaxed);
  out.filtered = exchange_.meters[1].load(std::memory_order_relaxed);
  out.output = exchange_.meters[2].load(std::memory_order_relaxed);
  out.output0 = exchange_.meters[3].load(std::memory_order_relaxed);
  out.output1 = exchange_.meters[4].load(std::memory_order_relaxed);
}

} // namespace tarvex
