#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "framework/core/param_shape.h"
#include "tarvex/engine/factory_presets.h"
#include "tests/tarvex/plugin/tarvex_rig.h"

namespace tarvex {
namespace {

using testing::TestTarvex;

TEST(TarvexConstruction, ConfigurationReachesTheFramework) {
  TestTarvex plug;
  EXPECT_STREQ(plug.GetPluginName(), "Tarvex");
  EXPECT_STREQ(plug.GetProductName(), "Tarvex");
  EXPECT_STREQ(plug.GetMakerName(), "BRASKELIN");
  EXPECT_EQ(plug.GetUniqueId(), 0x42747678); // 'Btvx'
  EXPECT_EQ(plug.GetMakerId(), 0x4272736B);  // 'Brsk'
  EXPECT_EQ(plug.GetPluginVersion(true), 100);
  EXPECT_TRUE(plug.DoesChunks());
  EXPECT_TRUE(plug.HostResize());
  EXPECT_FALSE(plug.DoesMidiOut());
  EXPECT_EQ(plug.GetEditorWidth(), 1180);
  EXPECT_EQ(plug.GetEditorHeight(), 800);
  int w = 200, h = 3000;
  EXPECT_FALSE(plug.ClampEditorSize(w, h));
  EXPECT_EQ(w, 393);
  EXPECT_EQ(h, 2400);
  EXPECT_EQ(plug.NIOConfigs(), 2);
  EXPECT_EQ(plug.NChannels(plugkit::kDirectionInput), 2);
  EXPECT_EQ(plug.NChannels(plugkit::kDirectionOutput), 2);
  EXPECT_EQ(plug.NParams(), 192);
  EXPECT_EQ(plug.NPresets(), 16);
  EXPECT_FALSE(plug.IsReady());
  EXPECT_EQ(plug.SampleRate(), 48000.0);
  EXPECT_EQ(plug.CurrentPresetIndex(), 0);
  EXPECT_EQ(plug.ActiveBank(), 0);
}

TEST(TarvexConstruction, ParametersFollowTheTable) {
  TestTarvex plug;
  for (int i = 0; i < kParamCount; ++i) {
    SCOPED_TRACE(i);
    const ParamSpec& spec = ParamSpecAt(i);
    const plugkit::IParam& p = *plug.GetParam(i);
    EXPECT_STREQ(p.Name(), spec.name);
    EXPECT_STREQ(p.GroupName(), "");
    EXPECT_EQ(p.Min(), static_cast<double>(spec.minValue));
    EXPECT_EQ(p.Max(), static_cast<double>(spec.maxValue));
    EXPECT_EQ(p.DefaultValue(false), static_cast<double>(spec.defaultValue));
    EXPECT_EQ(p.Value(), static_cast<double>(spec.defaultValue));
    EXPECT_EQ(p.Unit(), 21);
    EXPECT_EQ(p.Flags() & ~plugkit::kFlagStepped, 0);
    if (IsEnumParam(i)) {
      EXPECT_EQ(p.Type(), plugkit::ParamType::Int);
      EXPECT_EQ(p.Step(), 1.0);
      EXPECT_EQ(p.DisplayTextCount(), static_cast<int>(spec.maxValue - spec.minValue) + 1);
      for (int v = static_cast<int>(spec.minValue); v <= static_cast<int>(spec.maxValue); ++v)
        EXPECT_STREQ(p.DisplayTextFor(v), ParamValueText(i, v));
    } else {
      EXPECT_EQ(p.Type(), plugkit::ParamType::Double);
      EXPECT_EQ(p.GetShape().GetDisplayKind(), IsExpParam(i) ? 1 : 0);
      EXPECT_EQ(p.Step(), IsExpParam(i) ? 0.001 : 0.01);
      EXPECT_EQ(p.DisplayTextCount(), 0);
      EXPECT_STREQ(p.GetDisplayLabel(), spec.unit);
    }
  }
  // A few rows spelled out, so the table itself is checked too.
  EXPECT_STREQ(plug.GetParam(0)->DisplayTextFor(2), "Live Assist");
  EXPECT_STREQ(plug.GetParam(7)->GetDisplayLabel(), "dBFS");
  EXPECT_STREQ(plug.GetParam(191)->Name(), "Slot 24 Release");
  EXPECT_EQ(plug.GetParam(kParamLiveHold)->Min(), static_cast<double>(0.1f));
  // 20..20000 Hz maps geometrically: about 632 Hz at the middle.
  EXPECT_NEAR(plug.GetParam(25)->GetShape().NormalizedToValue(0.5, *plug.GetParam(25)), 632.456,
              0.01);
  EXPECT_EQ(plug.GetParam(kParamMode)->ConstrainValue(1.6), 2.0);
}

TEST(TarvexConstruction, FactoryPresetsLoadAndAreMatchedBackByName) {
  TestTarvex plug;
  const auto& presets = FactoryPresets();
  EXPECT_EQ(plug.FindMatchingFactoryPreset(), 0);
  EXPECT_STREQ(plug.PresetNameAt(0), "Neutral Manual");
  for (int p = kFactoryPresetCount - 1; p >= 0; --p) {
    SCOPED_TRACE(p);
    EXPECT_STREQ(plug.PresetNameAt(p), presets[p].name);
    plug.LoadFactoryPreset(p);
    EXPECT_EQ(plug.CurrentPresetIndex(), p);
    EXPECT_EQ(plug.Values(), presets[p].values);
    const int match = plug.FindMatchingFactoryPreset();
    ASSERT_GE(match, 0);
    EXPECT_STREQ(plug.PresetNameAt(match), presets[p].name);
  }
  EXPECT_STREQ(plug.PresetNameAt(15), "Four Manual Notches");
}

TEST(TarvexConstruction, PresetMatchingToleratesOnlyTinyDifferences) {
  TestTarvex plug;
  plug.LoadFactoryPreset(5);
  plugkit::IParam& maxFrequency = *plug.GetParam(kParamMaxFrequency);
  // The tolerance is (20000 - 1000) * 2e-6 = 0.038 Hz.
  maxFrequency.Set(2000.03);
  EXPECT_EQ(plug.FindMatchingFactoryPreset(), 5);
  maxFrequency.Set(2000.05);
  EXPECT_EQ(plug.FindMatchingFactoryPreset(), -1);
  plugkit::IParam& mix = *plug.GetParam(kParamMix);
  plug.LoadFactoryPreset(5);
  mix.Set(100.0 - 0.00015); // within 100 * 2e-6
  EXPECT_EQ(plug.FindMatchingFactoryPreset(), 5);
  mix.Set(99.9);
  EXPECT_EQ(plug.FindMatchingFactoryPreset(), -1);
}

TEST(TarvexConstruction, LoadingAPresetReportsEveryValueToTheHostAndEditor) {
  TestTarvex plug;
  plug.LoadFactoryPreset(15);
  testsupport::ExpectEveryValueBracketed(plug.hostEdits, kParamCount, [&](int i) {
    const plugkit::IParam& p = *plug.GetParam(i);
    return p.NormalizeValue(p.Value());
  });
  EXPECT_EQ(plug.valuesToUI, kParamCount);

  plug.hostEdits.clear();
  plug.valuesToUI = 0;
  plug.LoadFactoryPreset(16);
  plug.LoadFactoryPreset(-1);
  EXPECT_TRUE(plug.hostEdits.empty());
  EXPECT_EQ(plug.valuesToUI, 0);
  EXPECT_EQ(plug.CurrentPresetIndex(), 15);
}

TEST(TarvexConstruction, TailIsTwentyTwoSecondsAtTheActiveRate) {
  TestTarvex plug;
  EXPECT_EQ(plug.TailLength(), 22 * 48000);
  plug.SetSampleRate(44100.0);
  plug.OnActivate(true);
  EXPECT_EQ(plug.TailLength(), 22 * 44100);
  ParamValues ringing = DefaultParamValues();
  for (int s = 0; s < kSlotCount; ++s) {
    ringing[SlotParamIndex(s, kSlotEnabled)] = 1.0f;
    ringing[SlotParamIndex(s, kSlotFrequency)] = 20.0f;
    ringing[SlotParamIndex(s, kSlotQ)] = 80.0f;
  }
  plug.ApplyParamValues(ringing, false);
  EXPECT_EQ(plug.TailLength(), 22 * 44100);
}

} // namespace
} // namespace tarvex
