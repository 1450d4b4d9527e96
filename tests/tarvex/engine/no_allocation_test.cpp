#include <gtest/gtest.h>

#include "tests/support/allocation_counter.h"

#include "tests/tarvex/engine/engine_rig.h"

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

  const long before = testsupport::AllocationCount();
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
  EXPECT_EQ(testsupport::AllocationCount() - before, 0);
  EXPECT_TRUE(snapshot.signal);
}

} // namespace
} // namespace tarvex
