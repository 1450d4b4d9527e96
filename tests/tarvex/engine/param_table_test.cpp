#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tarvex/engine/factory_presets.h"
#include "tarvex/engine/param_table.h"
#include "tarvex/engine/tail_length.h"

namespace tarvex {
namespace {

TEST(ParamTable, RowsCarryNamesIdsUnitsAndRanges) {
  EXPECT_STREQ(ParamSpecAt(kParamNoiseFloor).name, "Noise Floor");
  EXPECT_STREQ(ParamSpecAt(kParamNoiseFloor).id, "noise_floor");
  EXPECT_STREQ(ParamSpecAt(kParamNoiseFloor).unit, "dBFS");
  EXPECT_STREQ(ParamSpecAt(24).name, "Slot 1 Enabled");
  EXPECT_STREQ(ParamSpecAt(24).id, "slot01_enabled");
  EXPECT_STREQ(ParamSpecAt(191).name, "Slot 24 Release");
  EXPECT_STREQ(ParamSpecAt(191).id, "slot24_release");
  EXPECT_STREQ(ParamSpecAt(191).unit, "ms");
  EXPECT_EQ(ParamSpecAt(kParamLiveHold).minValue, 0.1f);
  EXPECT_EQ(ParamSpecAt(kParamGrowth).defaultValue, 1.5f);
  EXPECT_EQ(ParamSpecAt(SlotParamIndex(23, kSlotFrequency)).defaultValue, 16000.0f);
  EXPECT_EQ(ParamSpecAt(SlotParamIndex(11, kSlotFrequency)).defaultValue, 1008.0f);
  for (int s = 0; s < kSlotCount; ++s) {
    const double expected = std::round(80.0 * std::pow(200.0, s / 23.0));
    EXPECT_EQ(ParamSpecAt(SlotParamIndex(s, kSlotFrequency)).defaultValue, expected) << s;
  }
  for (int i = 0; i < kParamCount; ++i) {
    const ParamSpec& row = ParamSpecAt(i);
    EXPECT_LE(row.minValue, row.defaultValue) << i;
    EXPECT_GE(row.maxValue, row.defaultValue) << i;
    EXPECT_FALSE(std::string(row.id).empty()) << i;
  }
}

TEST(ParamTable, KindsFollowTheIndex) {
  int enums = 0, exps = 0;
  for (int i = 0; i < kGlobalParamCount; ++i) {
    enums += IsEnumParam(i);
    exps += IsExpParam(i);
    EXPECT_FALSE(IsEnumParam(i) && IsExpParam(i)) << i;
  }
  EXPECT_EQ(enums, 6);
  EXPECT_EQ(exps, 8);
  EXPECT_TRUE(IsEnumParam(kParamAnalyzer));
  EXPECT_TRUE(IsExpParam(kParamCooldown));
  EXPECT_FALSE(IsExpParam(kParamGrowth));
  EXPECT_TRUE(IsExpParam(191));
  EXPECT_FALSE(IsEnumParam(191));
  EXPECT_TRUE(IsEnumParam(189));
  EXPECT_TRUE(IsEnumParam(24));
  EXPECT_TRUE(IsExpParam(25));
  EXPECT_FALSE(IsEnumParam(-1));
  EXPECT_FALSE(IsExpParam(-1));
  // Past the last slot the field still decides: 192 is field 0, 193 field 1,
  // 196 field 4, 198 field 6.
  EXPECT_TRUE(IsEnumParam(192));
  EXPECT_FALSE(IsExpParam(192));
  EXPECT_TRUE(IsExpParam(193));
  EXPECT_FALSE(IsEnumParam(193));
  EXPECT_TRUE(IsEnumParam(196));
  EXPECT_TRUE(IsExpParam(198));
  EXPECT_FALSE(IsEnumParam(197));
  EXPECT_FALSE(IsExpParam(197));
}

TEST(ParamTable, ValueTexts) {
  EXPECT_STREQ(ParamValueText(0, 7), "Live Assist");
  EXPECT_STREQ(ParamValueText(0, 1), "Learn Fixed");
  EXPECT_STREQ(ParamValueText(0, -1), "Manual");
  EXPECT_STREQ(ParamValueText(1, 1), "Dual Mono");
  EXPECT_STREQ(ParamValueText(1, 0), "Linked Stereo");
  EXPECT_STREQ(ParamValueText(16, -3), "0");
  EXPECT_STREQ(ParamValueText(17, 30), "24");
  EXPECT_STREQ(ParamValueText(17, 13), "13");
  EXPECT_STREQ(ParamValueText(23, 2), "On");
  EXPECT_STREQ(ParamValueText(28, 0), "Off");
}

TEST(ParamTable, SanitizeClampsReplacesAndRounds) {
  ParamValues in = DefaultParamValues();
  in[kParamMode] = std::numeric_limits<float>::quiet_NaN();
  in[kParamFixedLimit] = -5.0f;
  in[kParamLiveLimit] = 30.0f;
  in[kParamRouting] = 2.5f;
  in[kParamBypass] = 0.5f;
  in[kParamMix] = 0.37f;
  in[kParamInput] = std::numeric_limits<float>::infinity();
  in[SlotParamIndex(3, kSlotFrequency)] = 1e9f;
  ParamValues out{};
  SanitizeParamValues(out.data(), in.data());
  EXPECT_EQ(out[kParamMode], 0.0f);
  EXPECT_EQ(out[kParamFixedLimit], 0.0f);
  EXPECT_EQ(out[kParamLiveLimit], 24.0f);
  EXPECT_EQ(out[kParamRouting], 1.0f);
  EXPECT_EQ(out[kParamBypass], 1.0f);
  EXPECT_EQ(out[kParamMix], 0.37f);
  EXPECT_EQ(out[kParamInput], 0.0f);
  EXPECT_EQ(out[SlotParamIndex(3, kSlotFrequency)], 20000.0f);
  EXPECT_TRUE(ValidateParamValues(out.data()));

  in = DefaultParamValues();
  in[kParamMode] = 2.5f;
  SanitizeParamValues(out.data(), in.data());
  EXPECT_EQ(out[kParamMode], 2.0f);
}

TEST(ParamTable, ValidateRejectsOutOfRangeFractionalAndNonFinite) {
  EXPECT_TRUE(ValidateParamValues(DefaultParamValues().data()));
  ParamValues v = DefaultParamValues();
  v[kParamRouting] = 1.5f;
  EXPECT_FALSE(ValidateParamValues(v.data()));
  v = DefaultParamValues();
  v[kParamInput] = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(ValidateParamValues(v.data()));
  v = DefaultParamValues();
  v[SlotParamIndex(7, kSlotFrequency)] = 20000.5f;
  EXPECT_FALSE(ValidateParamValues(v.data()));
  v = DefaultParamValues();
  v[kParamSensitivity] = std::nanf("");
  EXPECT_FALSE(ValidateParamValues(v.data()));
}

TEST(FactoryPresetsTable, SixteenValidPresetsWithTheirChanges) {
  const auto& presets = FactoryPresets();
  EXPECT_EQ(&presets, &FactoryPresets());
  for (const FactoryPreset& p : presets)
    EXPECT_TRUE(ValidateParamValues(p.values.data())) << p.name;
  EXPECT_STREQ(presets[0].name, "Neutral Manual");
  EXPECT_EQ(presets[0].values, DefaultParamValues());
  EXPECT_STREQ(presets[2].name, "Fast Monitor Assist");
  EXPECT_EQ(presets[2].values[kParamPersistence], 200.0f);
  EXPECT_EQ(presets[2].values[kParamGrowth], 3.0f);
  EXPECT_EQ(presets[2].values[kParamAutoDepth], 18.0f);
  EXPECT_EQ(presets[4].values[kParamMode], 1.0f);
  EXPECT_EQ(presets[4].values[kParamFixedLimit], 18.0f);
  EXPECT_EQ(presets[7].values[kParamRouting], 1.0f);
  EXPECT_EQ(presets[7].values[kParamLiveLimit], 12.0f);
  EXPECT_EQ(presets[11].values[SlotParamIndex(0, kSlotFrequency)], 3000.0f);
  EXPECT_EQ(presets[11].values[SlotParamIndex(0, kSlotEnabled)], 1.0f);
  EXPECT_EQ(presets[12].values[SlotParamIndex(2, kSlotDynamic)], 1.0f);
  EXPECT_EQ(presets[13].values[SlotParamIndex(2, kSlotDynamic)], 0.0f);
  EXPECT_EQ(presets[14].values[SlotParamIndex(1, kSlotQ)], 2.0f);
  EXPECT_EQ(presets[14].values[SlotParamIndex(1, kSlotDepth)], 4.0f);
  EXPECT_STREQ(presets[15].name, "Four Manual Notches");
  EXPECT_EQ(presets[15].values[SlotParamIndex(3, kSlotFrequency)], 8100.0f);
  EXPECT_EQ(presets[15].values[SlotParamIndex(3, kSlotEnabled)], 1.0f);
  EXPECT_EQ(presets[15].values[SlotParamIndex(4, kSlotEnabled)], 0.0f);
  EXPECT_EQ(presets[15].values[SlotParamIndex(4, kSlotFrequency)], 201.0f);
}

TEST(TailLength, TwentyTwoSecondsWithinTheRanges) {
  ParamValues v = DefaultParamValues();
  EXPECT_EQ(ComputeTailSeconds(v.data(), 48000.0), 22.0);
  EXPECT_EQ(std::ceil(ComputeTailSeconds(v.data(), 44100.0) * 44100.0), 22.0 * 44100.0);
  for (int s = 0; s < kSlotCount; ++s) {
    v[SlotParamIndex(s, kSlotEnabled)] = 1.0f;
    v[SlotParamIndex(s, kSlotFrequency)] = 20.0f;
    v[SlotParamIndex(s, kSlotQ)] = 80.0f;
  }
  for (double fs : {22050.0, 48000.0, 192000.0, 1e9, std::nan("")})
    EXPECT_EQ(ComputeTailSeconds(v.data(), fs), 22.0) << fs;
}

} // namespace
} // namespace tarvex
