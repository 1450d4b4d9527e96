#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <utility>

#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

// A set of `count` filters all at one frequency: any snapshot or set made of
// two different publications shows mixed frequencies or counts.
LearnedSet UniformSet(int count, float frequency) {
  LearnedSet set{};
  for (int s = 0; s < count; ++s) set[s] = {frequency, 6.0f, 10.0f, 0.5f, kSlotLive, 0};
  return set;
}

bool SnapshotIsWhole(const EngineSnapshot& s) {
  int nonEmpty = 0;
  float frequency = -1.0f;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (s.slotKind[slot] == kSlotEmpty) continue;
    ++nonEmpty;
    if (frequency >= 0.0f && s.slotFrequency[slot] != frequency) return false;
    frequency = s.slotFrequency[slot];
  }
  const int total = s.fixedCount + s.liveCount + s.manualCount;
  return total == nonEmpty && s.activeHistory[255] == static_cast<float>(total) &&
         s.sampleRate == 48000.0;
}

bool SetIsWhole(const LearnedSet& set) {
  int count = 0;
  while (count < kSlotCount && set[count].kind != kSlotEmpty) ++count;
  for (int s = 0; s < kSlotCount; ++s) {
    if ((s < count) != (set[s].kind != kSlotEmpty)) return false;
    if (s < count && set[s].frequencyHz != set[0].frequencyHz) return false;
  }
  return true;
}

TEST(ExchangeThreads, SnapshotsSetsAndCommandsSurviveConcurrentUse) {
  testing::EngineRig rig(48000.0, 64);
  rig.Set(kParamLiveHold, 60.0f);
  FeedbackEngine& engine = *rig.engine;
  std::atomic<bool> stop{false};
  std::atomic<long> torn{0};

  std::thread audio([&] {
    std::vector<float> in(64, 0.1f), out0(64), out1(64);
    const float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    while (!stop.load()) engine.Process(ins, outs, 64, false);
  });
  std::thread reader([&] {
    EngineSnapshot s;
    LearnedSet set{};
    while (!stop.load()) {
      engine.ReadSnapshot(s);
      if (!SnapshotIsWhole(s)) torn.fetch_add(1);
      if (engine.ReadLearnedSet(set) && !SetIsWhole(set)) torn.fetch_add(1);
    }
  });

  // Each round installs a set of Live filters, then freezes them from two
  // threads at once with other bits: the freeze must never be lost.
  // Joins the threads on every way out, failed assertions included.
  struct StopThreads {
    std::function<void()> stop;
    void Run() {
      if (stop) std::exchange(stop, nullptr)();
    }
    ~StopThreads() { Run(); }
  } stopThreads{[&] {
    stop.store(true);
    audio.join();
    reader.join();
  }};

  auto waitFor = [&](auto condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    EngineSnapshot s;
    while (std::chrono::steady_clock::now() < deadline) {
      engine.ReadSnapshot(s);
      if (condition(s)) return true;
      std::this_thread::yield();
    }
    return false;
  };
  for (int round = 0; round < 60; ++round) {
    const int count = 1 + round % 23;
    const float frequency = 100.0f + 37.0f * round;
    while (!engine.RequestLearnedSet(UniformSet(count, frequency))) std::this_thread::yield();
    ASSERT_TRUE(waitFor([&](const EngineSnapshot& s) {
      return s.liveCount == count && s.slotFrequency[0] == frequency;
    })) << round;
    std::thread other([&] { engine.QueueCommand(kCommandStopLearning); });
    engine.QueueCommand(kCommandFreezeLive);
    other.join();
    ASSERT_TRUE(waitFor([&](const EngineSnapshot& s) { return s.fixedCount == count; })) << round;
    // The audio thread here publishes back to back, so on a loaded machine a
    // read may need many rounds of its bounded retries.
    LearnedSet now{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool read = false;
    while (!(read = engine.ReadLearnedSet(now)) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::yield();
    ASSERT_TRUE(read) << round;
    EXPECT_EQ(now[count - 1].kind, kSlotFixed);
  }
  stopThreads.Run();
  EXPECT_EQ(torn.load(), 0);
}

} // namespace
} // namespace tarvex
