#include <gtest/gtest.h>

#include "tarvex/editor/param_rules.h"
#include "tarvex/editor/param_text.h"
#include "tarvex/engine/param_table.h"

#include <string>

namespace tarvex {
namespace {

const int kSlotQ3 = SlotParamIndex(3, kSlotQ);

struct Parse {
  int param;
  const char* text;
  bool accepted;
  double value;
};

TEST(EditorTypedValues, UnitsConvertAndForeignOrOutOfRangeTextsAreRefused) {
  const Parse cases[] = {
      {kParamMaxFrequency, "2k", true, 2000.0},
      {kParamMaxFrequency, "2 kHz", true, 2000.0},
      {kParamMaxFrequency, "2 KHZ", true, 2000.0},
      {kParamMaxFrequency, "2000hz", true, 2000.0},
      {kParamMaxFrequency, "1.2 k Hz", true, 1200.0},
      {kParamMaxFrequency, " 3000", true, 3000.0},
      {kParamMaxFrequency, "2 kHz!", false, 0},
      {kParamMaxFrequency, "25k", false, 0},
      {kParamAttack, "0.5 s", false, 0},
      {kParamAttack, "0.05 s", true, 50.0},
      {kParamLiveHold, "250ms", true, 0.25},
      {kParamLiveHold, "50ms", false, 0},
      {kParamAutoDepth, "12 dB", true, 12.0},
      {kParamAutoDepth, "12", true, 12.0},
      {kParamAutoDepth, "12 %", false, 0},
      {kParamNoiseFloor, "-40 dbfs", true, -40.0},
      {kParamGrowth, "3 dB/s", true, 3.0},
      {kParamMix, "55%", true, 55.0},
      {kSlotQ3, "36 q", true, 36.0},
      {kSlotQ3, "90", false, 0},
      {kParamAutoQ, "10Q", true, 10.0},
      {kParamFixedLimit, "4", true, 4.0},
      {kParamFixedLimit, "4 x", false, 0},
      {kParamMaxFrequency, "inf", false, 0},
      {kParamMaxFrequency, "nan", false, 0},
      {kParamMaxFrequency, "abc", false, 0},
      {kParamMaxFrequency, "", false, 0},
      {kParamMaxFrequency, "1e400", false, 0},
  };
  for (const Parse& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " on " + ParamSpecAt(c.param).name);
    double value = -1.0;
    EXPECT_EQ(ParseParamValue(c.param, c.text, value), c.accepted);
    EXPECT_DOUBLE_EQ(value, c.accepted ? c.value : -1.0);
  }
  double value = 0.0;
  EXPECT_FALSE(ParseParamValue(kParamMix, nullptr, value));
  EXPECT_FALSE(ParseParamValue(-1, "1", value));
  EXPECT_FALSE(ParseParamValue(kParamCount, "1", value));
}

struct Format {
  int param;
  double value;
  const char* text;
};

TEST(EditorTypedValues, DisplayTextsFollowTheUnit) {
  const Format cases[] = {
      {kParamMinFrequency, 999.4, "999 Hz"},
      {kParamMinFrequency, 1000.0, "1.00 kHz"},
      {SlotParamIndex(0, kSlotFrequency), 5.0, "5.00 Hz"},
      {kParamRecovery, 5.0, "5.00 s"},
      {kParamNoiseFloor, -55.0, "-55.0 dBFS"},
      {kParamInput, -6.04, "-6.0 dB"},
      {kParamMix, 100.0, "100 %"},
      {kParamAttack, 0.5, "0.50 ms"},
      {kParamAttack, 5.0, "5.0 ms"},
      {kParamAttack, 20.0, "20 ms"},
      {kParamGrowth, 1.5, "1.50 dB/s"},
      {kParamAutoQ, 24.0, "24.00 Q"},
      {kParamFixedLimit, 12.0, "12"},
      {kParamBypass, 1.0, "1"},
  };
  for (const Format& c : cases) {
    char text[32];
    FormatParamValue(c.param, c.value, text, sizeof text);
    EXPECT_STREQ(text, c.text) << ParamSpecAt(c.param).name;
  }
}

TEST(EditorTypedValues, DisplayUnitAndPrecisionFollowTheRoundedValue) {
  const int slotFrequency = SlotParamIndex(0, kSlotFrequency);
  const Format cases[] = {
      {slotFrequency, 9.994, "9.99 Hz"},       {slotFrequency, 9.996, "10 Hz"},
      {kParamMinFrequency, 999.4, "999 Hz"},   {kParamMinFrequency, 999.5, "1.00 kHz"},
      {kParamMinFrequency, 999.7, "1.00 kHz"}, {kParamAttack, 0.994, "0.99 ms"},
      {kParamAttack, 0.996, "1.0 ms"},         {kParamAttack, 0.9996, "1.0 ms"},
      {kParamAttack, 9.94, "9.9 ms"},          {kParamAttack, 9.96, "10 ms"},
      {kParamAttack, 9.9996, "10 ms"},
  };
  for (const Format& c : cases) {
    char text[32];
    FormatParamValue(c.param, c.value, text, sizeof text);
    EXPECT_STREQ(text, c.text) << c.value << " " << ParamSpecAt(c.param).name;
  }
}

} // namespace
} // namespace tarvex
