#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine_rig.h"

// Every allocation of this test program is counted, so the test below sees
// any allocation the engine makes while processing.
namespace {
std::atomic<long> g_allocations{0};

void* CountedAllocate(std::size_t size) {
  g_allocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1);
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1);
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tarvex {
namespace {

TEST(NoAllocation, ProcessNeverAllocatesAfterPreparation) {
  const double fs = 48000.0;
  testing::EngineRig rig(fs, 512);
  rig.Set(kParamMode, 2.0f);
  rig.Set(kParamRouting, 1.0f);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(0, kSlotDynamic, 1.0f);
  LearnedSet set{};
  for (int s = 1; s < kSlotCount; ++s) set[s] = {200.0f * s, 9.0f, 20.0f, 0.5f, kSlotLive, s % 3};
  ASSERT_TRUE(rig.engine->RequestLearnedSet(set));
  std::vector<float> in0(512), in1(512), out0(512), out1(512);
  for (int i = 0; i < 512; ++i) {
    in0[i] = static_cast<float>(0.3 * std::sin(0.1 * i));
    in1[i] = static_cast<float>(0.2 * std::sin(0.37 * i));
  }
  const float* in[2] = {in0.data(), in1.data()};
  float* out[2] = {out0.data(), out1.data()};
  ParamValues params = rig.params;
  EngineSnapshot snapshot;
  EngineMeters meters;
  LearnedSet read{};

  const long before = g_allocations.load();
  for (int block = 0; block < 400; ++block) {
    params[kParamInput] = static_cast<float>(block % 7) - 3.0f;
    rig.engine->SetParams(params.data());
    if (block % 50 == 10) rig.engine->QueueCommand(kCommandClearLive);
    if (block % 50 == 20) rig.engine->RequestLearnedSet(set);
    rig.engine->Process(in, out, 512, block % 100 == 99);
    rig.engine->ReadSnapshot(snapshot);
    rig.engine->ReadMeters(meters);
    rig.engine->ReadLearnedSet(read);
  }
  rig.engine->Reset();
  EXPECT_EQ(g_allocations.load() - before, 0);
  EXPECT_TRUE(snapshot.signal);
}

}  // namespace
}  // namespace tarvex
