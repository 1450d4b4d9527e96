#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/allocation_counter.h"
#include "tests/support/chunk_sizes.h"
#include "tests/tarvex/plugin/tarvex_rig.h"

namespace tarvex {
namespace {

using testsupport::kStateChunkBytes;

TEST(TarvexNoAllocation, BlockProcessingNeverAllocates) {
  testing::TestTarvex plug;
  std::vector<float> in0(8192), in1(8192), out0(8192), out1(8192);
  for (int i = 0; i < 8192; ++i) {
    in0[i] = static_cast<float>(0.4 * std::sin(0.07 * i));
    in1[i] = static_cast<float>(0.3 * std::sin(0.19 * i));
  }
  float* ins[2] = {in0.data(), in1.data()};
  float* outs[2] = {out0.data(), out1.data()};
  plug.OnActivate(true);
  ASSERT_EQ(plug.Restore(testing::StateBytes(testing::RichState())), kStateChunkBytes);
  plug.SetInputSilenceFlags(2u);

  const long before = testsupport::AllocationCount();
  for (int frames : {0, 1, 513, 8192}) plug.ProcessBlock(ins, outs, frames);
  plug.SetChannelConnections(plugkit::kDirectionOutput, 1, 1, false);
  plug.ProcessBlock(ins, outs, 4096);
  plug.OnActivate(false);
  plug.ProcessBlock(ins, outs, 4096);
  EXPECT_EQ(testsupport::AllocationCount(), before);
}

} // namespace
} // namespace tarvex
