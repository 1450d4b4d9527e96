#include <gtest/gtest.h>

#include <utility>

#include "tarvex/engine/factory_presets.h"
#include "tests/support/chunk_sizes.h"
#include "tests/tarvex/plugin/tarvex_rig.h"

namespace tarvex {
namespace {

using testing::RichState;
using testing::StateBytes;
using testing::StateFields;
using testing::TestTarvex;
using testsupport::kStateChunkBytes;

TEST(TarvexBanks, CopyPutsTheActiveBankIntoTheOtherWithoutHostEdits) {
  TestTarvex plug;
  StateFields rich = RichState();
  ASSERT_EQ(plug.Restore(StateBytes(rich)), kStateChunkBytes);
  plug.GetParam(kParamNoiseFloor)->Set(-70.0);
  EXPECT_TRUE(plug.CopyToOtherBank());
  EXPECT_TRUE(plug.hostEdits.empty());
  StateFields expected = rich;
  expected.current[kParamNoiseFloor] = -70.0f;
  expected.other = expected.current;
  expected.stored = expected.actual;
  EXPECT_EQ(plug.State(), StateBytes(expected));
  EXPECT_EQ(plug.ActiveBank(), 1) << "copying does not switch banks";
}

TEST(TarvexBanks, SwapBracketsEveryValueAsAHostEdit) {
  TestTarvex plug;
  plug.LoadFactoryPreset(7);
  ASSERT_TRUE(plug.CopyToOtherBank());
  plug.LoadFactoryPreset(12);
  plug.hostEdits.clear();
  plug.valuesToUI = 0;

  ASSERT_TRUE(plug.SwapBanks());
  EXPECT_EQ(plug.ActiveBank(), 1);
  EXPECT_EQ(plug.Values(), FactoryPresets()[7].values);
  testsupport::ExpectEveryValueBracketed(plug.hostEdits, kParamCount, [&](int i) {
    return plug.GetParam(i)->NormalizeValue(FactoryPresets()[7].values[i]);
  });
  EXPECT_EQ(plug.valuesToUI, kParamCount);
}

TEST(TarvexBanks, SwappingTwiceRestoresEverything) {
  TestTarvex plug;
  plug.OnActivate(true);
  ASSERT_EQ(plug.Restore(StateBytes(RichState())), kStateChunkBytes);
  const std::vector<std::uint8_t> before = plug.State();
  ASSERT_TRUE(plug.SwapBanks());
  // The engine installs the swapped-in filters between the two swaps.
  plug.ProcessBlock(nullptr, nullptr, 0);
  EXPECT_NE(plug.State(), before);
  ASSERT_TRUE(plug.SwapBanks());
  EXPECT_EQ(plug.State(), before);
}

TEST(TarvexBanks, AClearQueuedBeforeASwapOrALoadLeavesTheIncomingFilters) {
  StateFields a = RichState();
  a.stored[2] = {100.0f, 9.0f, 30.0f, 0.8f, kSlotFixed, 0};
  a.stored[3] = {250.0f, 9.0f, 30.0f, 0.8f, kSlotFixed, 0};
  // After the swap, the Clear having emptied the outgoing Fixed filter only.
  StateFields b = a;
  std::swap(b.current, b.other);
  std::swap(b.actual, b.stored);
  b.stored[0] = LearnedFilter{};
  b.activeBank = 0;
  for (bool swap : {true, false}) {
    TestTarvex plug;
    plug.OnActivate(true);
    ASSERT_EQ(plug.Restore(StateBytes(a)), kStateChunkBytes);
    plug.ProcessBlock(nullptr, nullptr, 0);
    ASSERT_TRUE(plug.QueueCommand(kCommandClearFixed));
    ASSERT_TRUE(swap ? plug.SwapBanks() : plug.Restore(StateBytes(b)) == kStateChunkBytes);
    plug.ProcessBlock(nullptr, nullptr, 0);
    EXPECT_EQ(plug.State(), StateBytes(b)) << (swap ? "swap" : "state load");
  }
}

TEST(TarvexBanks, OperationsRefuseWhileAnotherHoldsTheStateGuard) {
  // Each operation here runs in the middle of another one (from the value
  // updates the outer one sends to the editor) and must be refused.
  TestTarvex plug;
  const std::vector<std::uint8_t> rich = StateBytes(RichState());
  ASSERT_EQ(plug.Restore(rich), kStateChunkBytes);
  int nested = 0;
  plug.duringUpdate = [&] {
    plugkit::ByteChunk chunk;
    EXPECT_FALSE(plug.SerializeState(chunk));
    EXPECT_EQ(chunk.Size(), 0);
    EXPECT_EQ(plug.Restore(rich), -1);
    EXPECT_FALSE(plug.CopyToOtherBank());
    EXPECT_FALSE(plug.SwapBanks());
    ++nested;
  };
  ASSERT_TRUE(plug.SwapBanks());
  ASSERT_EQ(plug.Restore(rich), kStateChunkBytes);
  plug.duringUpdate = nullptr;
  EXPECT_EQ(nested, 2 * kParamCount);
  EXPECT_EQ(plug.ActiveBank(), 1);
  EXPECT_EQ(plug.State(), rich) << "the guard is released on the way out";
  EXPECT_TRUE(plug.CopyToOtherBank());
  EXPECT_TRUE(plug.SwapBanks());
}

} // namespace
} // namespace tarvex
