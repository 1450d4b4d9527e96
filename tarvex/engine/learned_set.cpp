#include "tarvex/engine/learned_set.h"

#include <cmath>
#include <cstring>

namespace tarvex {
namespace {

void ToWords(const LearnedSet& set, std::uint32_t* words) {
  for (int s = 0; s < kSlotCount; ++s) {
    const LearnedFilter& f = set[s];
    std::uint32_t* w = words + s * kLearnedFilterWords;
    std::memcpy(&w[0], &f.frequencyHz, 4);
    std::memcpy(&w[1], &f.depthDb, 4);
    std::memcpy(&w[2], &f.q, 4);
    std::memcpy(&w[3], &f.confidence, 4);
    std::memcpy(&w[4], &f.kind, 4);
    std::memcpy(&w[5], &f.channel, 4);
  }
}

void FromWords(const std::uint32_t* words, LearnedSet& set) {
  for (int s = 0; s < kSlotCount; ++s) {
    LearnedFilter& f = set[s];
    const std::uint32_t* w = words + s * kLearnedFilterWords;
    std::memcpy(&f.frequencyHz, &w[0], 4);
    std::memcpy(&f.depthDb, &w[1], 4);
    std::memcpy(&f.q, &w[2], 4);
    std::memcpy(&f.confidence, &w[3], 4);
    std::memcpy(&f.kind, &w[4], 4);
    std::memcpy(&f.channel, &w[5], 4);
  }
}

bool InRange(float v, float lo, float hi) { return std::isfinite(v) && v >= lo && v <= hi; }

} // namespace

bool ValidateLearnedSet(const LearnedSet& set) {
  for (const LearnedFilter& f : set) {
    if (!InRange(f.frequencyHz, 20.0f, 20000.0f) || !InRange(f.depthDb, 0.0f, 36.0f) ||
        !InRange(f.q, 0.5f, 80.0f) || !InRange(f.confidence, 0.0f, 1.0f))
      return false;
    if (f.kind != kSlotEmpty && f.kind != kSlotFixed && f.kind != kSlotLive) return false;
    if (static_cast<std::uint32_t>(f.channel) > 2u) return false;
  }
  return true;
}

void PublishLearnedSet(std::atomic<std::uint32_t>& counter,
                       std::array<std::atomic<std::uint32_t>, kLearnedSetWords>& destination,
                       const LearnedSet& set) {
  std::uint32_t words[kLearnedSetWords];
  ToWords(set, words);
  counter.fetch_add(1);
  for (int i = 0; i < kLearnedSetWords; ++i) destination[i].exchange(words[i]);
  counter.fetch_add(1);
}

bool TryReadLearnedSet(const SharedLearnedSet& shared, LearnedSet& out) {
  const std::uint32_t before = shared.counter.load();
  if (before & 1u) return false;
  std::uint32_t words[kLearnedSetWords];
  for (int i = 0; i < kLearnedSetWords; ++i) words[i] = shared.words[i].load();
  if (shared.counter.load() != before) return false;
  FromWords(words, out);
  return true;
}

} // namespace tarvex
