#include <gtest/gtest.h>

#include "tarvex/engine/factory_presets.h"
#include "tarvex/plugin/preset_chunk.h"
#include "tests/support/chunk_sizes.h"
#include "tests/tarvex/plugin/tarvex_rig.h"

namespace tarvex {
namespace {

using testing::PresetBytes;
using testing::RichState;
using testing::StateBytes;
using testing::StateFields;
using testing::TestTarvex;
using testsupport::kPresetChunkBytes;
using testsupport::kStateChunkBytes;

TEST(TarvexStateChunk, AFreshInstanceWritesTheDefaultState) {
  TestTarvex plug;
  const std::vector<std::uint8_t> state = plug.State();
  ASSERT_EQ(state.size(), std::size_t{kStateChunkBytes});
  EXPECT_EQ(state, StateBytes(StateFields{}));
  // The layout's landmarks, spelled out.
  EXPECT_EQ(std::vector<std::uint8_t>(state.begin(), state.begin() + 12),
            (std::vector<std::uint8_t>{'X', 'T', 'K', 'B', 1, 0, 0, 0, 192, 0, 0, 0}));
  const std::uint8_t mix100[4] = {0x00, 0x00, 0xC8, 0x42};
  for (int b = 0; b < 4; ++b) {
    EXPECT_EQ(state[12 + 4 * kParamMix + b], mix100[b]);
    EXPECT_EQ(state[780 + 4 * kParamMix + b], mix100[b]);
  }
  const std::uint8_t emptyRecord[24] = {0, 0, 0x7A, 0x44, 0, 0, 0, 0, 0, 0, 0xC0, 0x41,
                                        0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0,    0};
  for (int slot = 0; slot < 48; ++slot)
    for (int b = 0; b < 24; ++b) ASSERT_EQ(state[1556 + 24 * slot + b], emptyRecord[b]) << slot;
}

TEST(TarvexStateChunk, AKnownStateIsWrittenByteForByte) {
  // Restore a rich state, then swap banks: every field moves, so a field
  // written from the wrong source or to the wrong place shows.
  TestTarvex plug;
  const StateFields rich = RichState();
  ASSERT_EQ(plug.Restore(StateBytes(rich)), kStateChunkBytes);
  EXPECT_EQ(plug.State(), StateBytes(rich));
  ASSERT_TRUE(plug.SwapBanks());
  StateFields swapped = rich;
  std::swap(swapped.current, swapped.other);
  std::swap(swapped.actual, swapped.stored);
  swapped.activeBank = 0;
  EXPECT_EQ(plug.State(), StateBytes(swapped));
}

TEST(TarvexStateChunk, RoundTripRestoresEverything) {
  TestTarvex source;
  ASSERT_EQ(source.Restore(StateBytes(RichState())), kStateChunkBytes);
  source.LoadFactoryPreset(13);
  ASSERT_TRUE(source.SwapBanks());
  source.GetParam(kParamSensitivity)->Set(61.5);
  const std::vector<std::uint8_t> saved = source.State();
  ASSERT_EQ(saved.size(), std::size_t{kStateChunkBytes});

  TestTarvex copy;
  copy.OnActivate(true);
  EXPECT_EQ(copy.Restore(saved), kStateChunkBytes);
  EXPECT_EQ(copy.Values(), source.Values());
  EXPECT_EQ(copy.CurrentPresetIndex(), 13);
  EXPECT_EQ(copy.ActiveBank(), 0);
  EXPECT_EQ(copy.State(), saved);
  EXPECT_EQ(copy.valuesToUI, kParamCount);
  EXPECT_TRUE(copy.hostEdits.empty()) << "a restored state is the host's own";
  // The engine takes the learned filters at its next block and keeps them.
  copy.ProcessBlock(nullptr, nullptr, 0);
  EXPECT_EQ(copy.State(), saved);

  // Swapping back brings the other bank with its own filters.
  ASSERT_TRUE(copy.SwapBanks());
  ASSERT_TRUE(source.SwapBanks());
  EXPECT_EQ(copy.State(), source.State());
}

TEST(TarvexStateChunk, ReadsAtAStartPositionAndReportsWhereItEnded) {
  TestTarvex plug;
  std::vector<std::uint8_t> bytes = {9, 9, 9, 9, 9};
  const std::vector<std::uint8_t> state = StateBytes(RichState());
  bytes.insert(bytes.end(), state.begin(), state.end());
  EXPECT_EQ(plug.Restore(bytes, 5), 5 + kStateChunkBytes);
  EXPECT_EQ(plug.State(), state);
}

TEST(TarvexPresetChunk, FactoryPresetChunksAreWrittenByteForByte) {
  const auto& presets = FactoryPresets();
  for (int p = 0; p < kFactoryPresetCount; ++p) {
    plugkit::ByteChunk chunk;
    ASSERT_TRUE(WritePresetChunk(chunk, PresetChunkData{presets[p].values, p}));
    ASSERT_EQ(chunk.Size(), kPresetChunkBytes);
    EXPECT_EQ(std::vector<std::uint8_t>(chunk.Data(), chunk.Data() + chunk.Size()),
              PresetBytes(presets[p].values, p))
        << p;
  }
}

TEST(TarvexPresetChunk, RestoresValuesAndIndexButKeepsBanksAndFilters) {
  TestTarvex plug;
  const StateFields rich = RichState();
  ASSERT_EQ(plug.Restore(StateBytes(rich)), kStateChunkBytes);
  const auto& preset = FactoryPresets()[15];
  EXPECT_EQ(plug.Restore(PresetBytes(preset.values, 15)), kPresetChunkBytes);
  EXPECT_EQ(plug.Values(), preset.values);
  EXPECT_EQ(plug.CurrentPresetIndex(), 15);
  StateFields expected = rich;
  expected.current = preset.values;
  expected.presetIndex = 15;
  EXPECT_EQ(plug.State(), StateBytes(expected));
  EXPECT_TRUE(plug.hostEdits.empty());
}

TEST(TarvexPresetChunk, RestoringUpdatesTheTail) {
  TestTarvex plug;
  plug.SetSampleRate(44100.0);
  plug.OnActivate(true);
  plug.GetParam(kParamMix)->Set(3.0);
  ParamValues values = DefaultParamValues();
  values[SlotParamIndex(0, kSlotEnabled)] = 1.0f;
  EXPECT_EQ(plug.Restore(PresetBytes(values, 3)), kPresetChunkBytes);
  EXPECT_EQ(plug.GetParam(kParamMix)->Value(), 100.0);
  EXPECT_EQ(plug.TailLength(), 22 * 44100);
}

} // namespace
} // namespace tarvex
