#include "framework/core/plugin_base.h"
#include "framework/core/param_shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plugkit {
namespace {

class TestPlugin : public IPluginBase {
public:
  TestPlugin(int nParams, int nPresets) : IPluginBase(nParams, nPresets) {
    for (int i = 0; i < nParams; ++i)
      GetParam(i)->ConfigureDouble("p", 0.0, -100.0, 100.0, 0.001, "", 0, "",
                                   IParam::ShapeLinear());
  }

  void SetVersion(int32_t version) { vendorVersion_ = version; }

  void BeginParamEditFromUI(int) override {}
  void EndParamEditFromUI(int) override {}
  void OnAllParamsChange(ParamChangeSource source) override {
    allChanges.push_back(source);
    IPluginBase::OnAllParamsChange(source);
  }

  std::vector<ParamChangeSource> allChanges;
};

void SetAll(TestPlugin& plugin, double base) {
  for (int i = 0; i < plugin.NParams(); ++i) plugin.GetParam(i)->Set(base + i * 0.25);
}

TEST(IPluginBase, SerializeParamsRoundTrip) {
  TestPlugin source(192, 0);
  SetAll(source, -40.0);
  ByteChunk chunk;
  chunk.Put(int32_t{0x1234});
  ASSERT_TRUE(source.SerializeState(chunk));
  ASSERT_EQ(chunk.Size(), 4 + 192 * 8);
  double first = 0.0;
  chunk.Get(first, 4);
  EXPECT_EQ(first, -40.0);

  TestPlugin target(192, 0);
  EXPECT_EQ(target.UnserializeState(chunk, 4), 4 + 1536);
  for (int i = 0; i < 192; ++i)
    EXPECT_EQ(target.GetParam(i)->Value(), source.GetParam(i)->Value()) << i;
  EXPECT_EQ(target.allChanges, std::vector<ParamChangeSource>{ParamChangeSource::Preset});
}

TEST(IPluginBase, ShortChunkChangesNothingAndIsRefused) {
  TestPlugin source(192, 0);
  SetAll(source, 10.0);
  ByteChunk full;
  ASSERT_TRUE(source.SerializeParams(full));
  ByteChunk shortChunk;
  shortChunk.PutBytes(full.Data(), 100);

  TestPlugin target(192, 0);
  SetAll(target, -20.0);
  EXPECT_EQ(target.UnserializeParams(shortChunk, 0), -1);
  for (int i = 0; i < 192; ++i) EXPECT_EQ(target.GetParam(i)->Value(), -20.0 + i * 0.25) << i;
  EXPECT_EQ(target.UnserializeParams(full, 8), -1);
  EXPECT_EQ(target.UnserializeParams(full, -1), -1);
  for (int i = 0; i < 192; ++i) EXPECT_EQ(target.GetParam(i)->Value(), -20.0 + i * 0.25) << i;
  // A refused chunk still tells the listeners, once per call.
  EXPECT_EQ(target.allChanges, std::vector<ParamChangeSource>(3, ParamChangeSource::Preset));
}

TEST(IPluginBase, ValuesAreConstrainedWhenRead) {
  ByteChunk chunk;
  chunk.Put(500.0);
  chunk.Put(-1e308);
  TestPlugin target(2, 0);
  EXPECT_EQ(target.UnserializeParams(chunk, 0), 16);
  EXPECT_EQ(target.GetParam(0)->Value(), 100.0);
  EXPECT_EQ(target.GetParam(1)->Value(), -100.0);
}

TEST(IPluginBase, NoParametersWritesNothing) {
  TestPlugin plugin(0, 0);
  ByteChunk chunk;
  EXPECT_TRUE(plugin.SerializeParams(chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(plugin.UnserializeParams(chunk, 0), 0);
  EXPECT_TRUE(plugin.SerializeExtraState(chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(plugin.UnserializeExtraState(chunk, 12), 12);
}

TEST(IPluginBase, FillNextPresetSlotFillsInOrderAndIgnoresOverflow) {
  TestPlugin plugin(0, 16);
  EXPECT_EQ(plugin.NPresets(), 16);
  EXPECT_STREQ(plugin.PresetNameAt(0), "empty");
  for (int i = 0; i < 17; ++i) {
    ByteChunk data;
    data.Put(int32_t{i});
    plugin.FillNextPresetSlot(("Preset " + std::to_string(i)).c_str(), data);
  }
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(std::string(plugin.PresetNameAt(i)), "Preset " + std::to_string(i));
  EXPECT_STREQ(plugin.PresetNameAt(16), "");
  EXPECT_STREQ(plugin.PresetNameAt(-1), "");

  TestPlugin named(0, 1);
  named.FillNextPresetSlot(std::string(300, 'x').c_str(), ByteChunk());
  EXPECT_EQ(std::string(named.PresetNameAt(0)), std::string(255, 'x'));
}

TEST(IPluginBase, GetPluginVersion) {
  TestPlugin plugin(0, 0);
  plugin.SetVersion(0x00000100);
  EXPECT_EQ(plugin.GetPluginVersion(false), 0x100);
  EXPECT_EQ(plugin.GetPluginVersion(true), 100);
  plugin.SetVersion((1 << 16) | (2 << 8) | 3);
  EXPECT_EQ(plugin.GetPluginVersion(true), 10203);
}

} // namespace
} // namespace plugkit
