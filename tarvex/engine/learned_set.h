#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "tarvex/engine/param_table.h"

namespace tarvex {

enum SlotKind : std::int32_t {
  kSlotEmpty = 0,
  kSlotManual = 1,
  kSlotFixed = 2,
  kSlotLive = 3,
};

struct LearnedFilter {
  float frequencyHz = 1000.0f;
  float depthDb = 0.0f;
  float q = 24.0f;
  float confidence = 0.0f;
  std::int32_t kind = kSlotEmpty;
  std::int32_t channel = 0;
};

using LearnedSet = std::array<LearnedFilter, kSlotCount>;

constexpr int kLearnedFilterWords = 6;
constexpr int kLearnedSetWords = kSlotCount * kLearnedFilterWords;

bool ValidateLearnedSet(const LearnedSet& set);

// A LearnedSet shared between threads: a sequence counter (odd while a writer
// is inside) and the set's 32-bit words, each accessed atomically.
struct SharedLearnedSet {
  std::atomic<std::uint32_t> counter{0};
  std::array<std::atomic<std::uint32_t>, kLearnedSetWords> words{};
};

// Single writer: counter += 1, every word by atomic exchange, counter += 1.
void PublishLearnedSet(std::atomic<std::uint32_t>& counter,
                       std::array<std::atomic<std::uint32_t>, kLearnedSetWords>& destination,
                       const LearnedSet& set);

// One reading attempt: false when a writer was inside or came by meanwhile.
bool TryReadLearnedSet(const SharedLearnedSet& shared, LearnedSet& out);

} // namespace tarvex
