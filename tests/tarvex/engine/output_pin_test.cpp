#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstring>

#include "tests/support/test_noise.h"
#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

struct Digest {
  std::uint64_t value = 1469598103934665603ull;
  template <typename T>
  void Add(const T& v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    for (unsigned char b : bytes) value = (value ^ b) * 1099511628211ull;
  }
  template <typename T, std::size_t N>
  void AddAll(const std::array<T, N>& a) {
    for (const T& v : a) Add(v);
  }
};

// Every output sample and published value of a busy session, bit for bit:
// speed work on the engine must leave this digest as it is.
TEST(OutputPin, BusySessionIsBitExact) {
  const double fs = 48000.0;
  testing::EngineRig rig(fs, 480);
  rig.Set(kParamMode, 2.0f);
  rig.Set(kParamPersistence, 200.0f);
  rig.Set(kParamLiveLimit, 12.0f);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotFrequency, 3000.0f);
  rig.SetSlot(0, kSlotDynamic, 1.0f);
  rig.SetSlot(1, kSlotEnabled, 1.0f);
  rig.SetSlot(1, kSlotFrequency, 250.0f);
  rig.SetSlot(1, kSlotQ, 3.0f);
  rig.engine->Prepare(fs, 480);
  LearnedSet set{};
  for (int s = 4; s < 20; ++s)
    set[s] = {static_cast<float>(150.0 * std::pow(1.25, s)),
              6.0f + s,
              8.0f + s,
              0.5f,
              s % 2 ? kSlotLive : kSlotFixed,
              s % 3};
  ASSERT_TRUE(rig.engine->RequestLearnedSet(set));

  testing::NoiseSequence noiseSource(7);
  auto source = [&](long n, int ch) {
    const double noise = 0.02 * noiseSource.Next();
    const double t = n / fs;
    const double howl = std::pow(10.0, (-45.0 + 4.0 * t) / 20.0) * std::sin(2.0 * kPi * 1777.0 * t);
    const double tone = 0.3 * std::sin(2.0 * kPi * 3000.0 * t) * (t > 1.0);
    return noise + howl + (ch ? 0.5 * tone : tone);
  };
  Digest digest;
  auto sink = [&](long, int, float v) { digest.Add(v); };
  rig.Run(48000, source, sink);
  rig.Set(kParamInput, 6.0f);
  rig.Set(kParamMix, 70.0f);
  rig.Run(24000, source, sink);
  rig.Run(4800, source, sink, true);
  rig.Set(kParamRouting, 1.0f);
  rig.Run(72000, source, sink);

  const EngineSnapshot s = rig.Snapshot();
  digest.AddAll(s.inputSpectrumDb);
  digest.AddAll(s.outputSpectrumDb);
  digest.AddAll(s.responseDb[0]);
  digest.AddAll(s.responseDb[1]);
  digest.AddAll(s.activeHistory);
  digest.AddAll(s.slotDepth);
  digest.AddAll(s.slotLevelDb);
  digest.AddAll(s.slotKind);
  for (const auto& channel : s.sections)
    for (const SectionView& v : channel) digest.Add(v);
  digest.Add(s.candidateFrequency);
  for (const LearnedFilter& f : rig.Learned()) digest.Add(f);
  EXPECT_GT(s.liveCount, 8);

  const std::uint64_t expected = 0xd77f4cb1bea24f95ull;
  EXPECT_EQ(digest.value, expected) << "digest 0x" << std::hex << digest.value;
}

} // namespace
} // namespace tarvex
