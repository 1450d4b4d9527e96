#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tarvex/plugin/create_tarvex.h"
#include "tarvex/plugin/state_chunk.h"
#include "tests/support/chunk_sizes.h"
#include "tests/tarvex/plugin/tarvex_rig.h"

namespace tarvex {
namespace {

using testing::RichState;
using testing::StateBytes;
using testing::StateFields;
using testing::TestTarvex;
using testsupport::kStateChunkBytes;

bool IsValidState(const std::vector<std::uint8_t>& bytes) {
  plugkit::ByteChunk chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  StateChunkData state;
  return ReadStateChunk(chunk, 0, state) == kStateChunkSize;
}

TEST(TarvexConcurrency, ASaveNeverSeesAHalfSwappedBank) {
  TestTarvex plug;
  const StateFields rich = RichState();
  ASSERT_EQ(plug.Restore(StateBytes(rich)), kStateChunkBytes);
  StateFields swapped = rich;
  std::swap(swapped.current, swapped.other);
  std::swap(swapped.actual, swapped.stored);
  swapped.activeBank = 0;
  const std::vector<std::uint8_t> bankB = StateBytes(rich);
  const std::vector<std::uint8_t> bankA = StateBytes(swapped);

  std::atomic<bool> done{false};
  std::atomic<int> swaps{0};
  std::atomic<int> saved{0};
  // A save that meets a swap is refused. Should none have come through in
  // the tight swaps, later swaps leave a pause for one, so that only a save
  // that never succeeds fails the test.
  std::thread ui([&] {
    for (int i = 0; i < 400 || (saved.load() == 0 && i < 2400); ++i) {
      if (plug.SwapBanks()) swaps.fetch_add(1);
      if (i >= 400) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    done.store(true);
  });
  for (int n = 0; n < 100 || !done.load(); ++n) {
    plugkit::ByteChunk chunk;
    if (!plug.SerializeState(chunk)) {
      EXPECT_EQ(chunk.Size(), 0);
      continue;
    }
    const std::vector<std::uint8_t> bytes(chunk.Data(), chunk.Data() + chunk.Size());
    EXPECT_TRUE(bytes == bankA || bytes == bankB) << "a save mixed the two banks";
    saved.fetch_add(1);
  }
  ui.join();
  EXPECT_GT(saved.load(), 0);
  EXPECT_EQ(plug.State(), swaps.load() % 2 == 0 ? bankB : bankA);
}

TEST(TarvexConcurrency, AudioKeepsRunningWhileTheUserInterfaceSwapsAndSaves) {
  TestTarvex plug;
  plug.OnActivate(true);
  const std::vector<std::uint8_t> rich = StateBytes(RichState());
  ASSERT_EQ(plug.Restore(rich), kStateChunkBytes);

  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<float> in(512), o0(512), o1(512);
    for (int i = 0; i < 512; ++i) in[i] = static_cast<float>(0.5 * std::sin(0.3 * i));
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {o0.data(), o1.data()};
    bool finite = true;
    while (!done.load()) {
      plug.ProcessBlock(ins, outs, 512);
      for (float v : o0) finite = finite && std::isfinite(v);
    }
    EXPECT_TRUE(finite);
  });
  for (int i = 0; i < 300; ++i) {
    switch (i % 4) {
      case 0:
        plug.SwapBanks();
        break;
      case 1:
        plug.CopyToOtherBank();
        break;
      case 2: {
        // While the audio thread publishes back to back, a save may find no
        // quiet moment within its bounded retries and refuse; what it does
        // write must be whole.
        const std::vector<std::uint8_t> state = plug.State();
        if (!state.empty()) {
          EXPECT_TRUE(IsValidState(state));
        }
        break;
      }
      default:
        EXPECT_EQ(plug.Restore(rich), kStateChunkBytes);
        break;
    }
  }
  done.store(true);
  audio.join();
  EXPECT_TRUE(IsValidState(plug.State()));
}

TEST(TarvexConcurrency, InstancesCanBeCreatedFromSeveralThreadsAtOnce) {
  std::vector<std::unique_ptr<TarvexApiBase>> made(4);
  std::vector<std::thread> threads;
  for (auto& slot : made)
    threads.emplace_back([&slot] { slot = CreateTarvex(plugkit::InstanceInfo{}); });
  for (auto& t : threads) t.join();
  for (const auto& plug : made) {
    ASSERT_NE(plug, nullptr);
    EXPECT_EQ(plug->NParams(), kParamCount);
    EXPECT_STREQ(plug->PresetNameAt(15), "Four Manual Notches");
  }
}

} // namespace
} // namespace tarvex
