#include "framework/core/param.h"
#include "framework/core/param_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace plugkit {
namespace {

std::string Format(const IParam& param, double value, bool normalized = false,
                   bool useDisplayText = true) {
  StringBuffer out;
  param.FormatDisplay(value, normalized, out, useDisplayText);
  return out.Get();
}

TEST(IParam, FreshParameter) {
  IParam param;
  EXPECT_EQ(param.Type(), ParamType::None);
  EXPECT_EQ(param.Min(), 0.0);
  EXPECT_EQ(param.Max(), 1.0);
  EXPECT_EQ(param.Step(), 1.0);
  EXPECT_EQ(param.DefaultValue(false), 0.0);
  EXPECT_EQ(param.Value(), 0.0);
  EXPECT_EQ(param.Unit(), 21);
  EXPECT_EQ(param.GetShape().GetDisplayKind(), 0);
  EXPECT_STREQ(param.Name(), "");
  EXPECT_EQ(param.DisplayTextCount(), 0);
}

TEST(IParam, ConfigureDoubleRangeStepAndPrecision) {
  IParam param;
  param.ConfigureDouble("Gain", 0.0, 0.0, 0.0, 0.5, "dB", 0, "Signal", IParam::ShapeLinear(), 7);
  EXPECT_EQ(param.Type(), ParamType::Double);
  EXPECT_EQ(param.Max(), 0.5);
  EXPECT_EQ(param.Unit(), 7);
  EXPECT_STREQ(param.Name(), "Gain");
  EXPECT_STREQ(param.GroupName(), "Signal");
  EXPECT_STREQ(param.GetDisplayLabel(), "dB");

  const struct {
    double step;
    int precision;
  } cases[] = {{1.0, 0}, {0.25, 2}, {0.01, 2}, {0.001, 3}, {1e-7, 6}, {1e-9, 6}};
  for (const auto& c : cases) {
    param.ConfigureDouble("p", 0.0, 0.0, 10.0, c.step, "", 0, "", IParam::ShapeLinear());
    EXPECT_EQ(param.DisplayPrecision(), c.precision) << c.step;
  }
}

TEST(IParam, ConfigureSetsConstrainedDefaultAndKeepsFirstType) {
  IParam param;
  param.ConfigureInt("Mode", 12, 0, 10);
  EXPECT_EQ(param.Type(), ParamType::Int);
  EXPECT_EQ(param.Value(), 10.0);
  EXPECT_EQ(param.Flags() & kFlagStepped, kFlagStepped);
  param.ConfigureDouble("Again", 0.3, 0.0, 1.0, 0.1, "", 0, "", IParam::ShapeLinear());
  EXPECT_EQ(param.Type(), ParamType::Int);
  EXPECT_DOUBLE_EQ(param.Value(), 0.3);
}

TEST(IParam, OverlongTextsAreCutToThirtyOneBytes) {
  IParam param;
  const std::string longName(40, 'n');
  param.ConfigureDouble(longName.c_str(), 0.0, 0.0, 1.0, 0.1, nullptr, 0, nullptr,
                        IParam::ShapeLinear());
  EXPECT_EQ(std::string(param.Name()), std::string(31, 'n'));
  EXPECT_STREQ(param.GroupName(), "");
  // 30 ASCII bytes then a two-byte character: the character does not fit
  // whole and is dropped rather than split.
  const std::string withUmlaut = std::string(30, 'a') + "\xC3\xA4" + "b";
  param.AddDisplayText(1.0, withUmlaut.c_str());
  EXPECT_EQ(std::string(param.DisplayTextFor(1.0)), std::string(30, 'a'));
}

TEST(IParam, ConstrainValueStepsAndClamps) {
  IParam param;
  param.ConfigureInt("Steps", 0, 0, 10);
  EXPECT_EQ(param.ConstrainValue(2.6), 3.0);
  EXPECT_EQ(param.ConstrainValue(-2.5), 0.0);
  EXPECT_EQ(param.ConstrainValue(2.5), 3.0);
  EXPECT_EQ(param.ConstrainValue(1e300), 10.0);
  EXPECT_EQ(param.ConstrainValue(std::numeric_limits<double>::infinity()), 10.0);
  EXPECT_EQ(param.ConstrainValue(-std::numeric_limits<double>::infinity()), 0.0);

  IParam free;
  free.ConfigureDouble("Free", 0.5, -1.0, 1.0, 0.0, "", kFlagStepped, "", IParam::ShapeLinear());
  // A stepped parameter with no step must not divide by zero.
  EXPECT_EQ(free.ConstrainValue(0.123), 0.123);
}

TEST(IParam, NaNBecomesTheDefault) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  IParam param;
  param.ConfigureDouble("Trim", -6.0, -24.0, 24.0, 0.1, "dB", 0, "", IParam::ShapeLinear());
  EXPECT_EQ(param.ConstrainValue(nan), -6.0);
  param.Set(nan);
  EXPECT_EQ(param.Value(), -6.0);
  param.SetNormalized(nan);
  EXPECT_EQ(param.Value(), -6.0);

  IParam nanDefault;
  nanDefault.ConfigureDouble("Odd", nan, 2.0, 4.0, 0.1, "", 0, "", IParam::ShapeLinear());
  EXPECT_EQ(nanDefault.Value(), 2.0);
}

TEST(IParam, LinearNormalisationRoundTrip) {
  IParam param;
  param.ConfigureDouble("Mix", 50.0, 0.0, 100.0, 0.01, "%", 0, "", IParam::ShapeLinear());
  for (double v : {0.0, 12.5, 50.0, 99.99, 100.0}) {
    param.SetNormalized(param.NormalizeValue(v));
    EXPECT_NEAR(param.Value(), v, 1e-9);
  }
  EXPECT_EQ(param.NormalizeValue(-10.0), 0.0);
  EXPECT_EQ(param.NormalizeValue(1000.0), 1.0);
  EXPECT_DOUBLE_EQ(param.DefaultValue(true), 0.5);
  // The normalised input itself is not clamped, only the resulting value.
  param.SetNormalized(1.5);
  EXPECT_EQ(param.Value(), 100.0);
}

TEST(IParam, ExponentialShape) {
  IParam param;
  param.ConfigureDouble("Freq", 1000.0, 20.0, 20000.0, 0.1, "Hz", 0, "", IParam::ShapeExp());
  const IParam::Shape& shape = param.GetShape();
  EXPECT_EQ(shape.GetDisplayKind(), 1);
  EXPECT_NEAR(shape.NormalizedToValue(0.0, param), 20.0, 1e-9);
  EXPECT_NEAR(shape.NormalizedToValue(1.0, param), 20000.0, 1e-6);
  EXPECT_NEAR(shape.NormalizedToValue(0.5, param), 632.46, 0.01);
  for (double v : {20.0, 100.0, 632.4, 19999.9}) {
    param.SetNormalized(param.NormalizeValue(v));
    EXPECT_NEAR(param.Value(), v, 1e-6);
  }

  IParam fromZero;
  fromZero.ConfigureDouble("Time", 1.0, 0.0, 10.0, 0.001, "s", 0, "", IParam::ShapeExp());
  EXPECT_NEAR(fromZero.GetShape().NormalizedToValue(0.0, fromZero), 1e-8, 1e-20);
  EXPECT_EQ(fromZero.NormalizeValue(0.0), 0.0);
  fromZero.SetNormalized(1.0);
  EXPECT_NEAR(fromZero.Value(), 10.0, 1e-9);
}

TEST(IParam, UnmappableRangesStillNormaliseIntoUnitRange) {
  IParam empty;
  empty.ConfigureDouble("Fixed", 3.0, 3.0, 3.0, 0.0, "", 0, "", IParam::ShapeLinear());
  EXPECT_EQ(empty.NormalizeValue(3.0), 0.0);
  IParam negativeExp;
  negativeExp.ConfigureDouble("Bad", -5.0, -10.0, -1.0, 0.1, "", 0, "", IParam::ShapeExp());
  const double n = negativeExp.NormalizeValue(-5.0);
  EXPECT_GE(n, 0.0);
  EXPECT_LE(n, 1.0);
  negativeExp.SetNormalized(0.5);
  EXPECT_FALSE(std::isnan(negativeExp.Value()));
}

TEST(IParam, FormatDisplayNumbers) {
  IParam param;
  param.ConfigureDouble("Gain", 0.0, -10.0, 10.0, 0.1, "dB", kFlagSignDisplay, "",
                        IParam::ShapeLinear());
  EXPECT_EQ(Format(param, 3.0), "+3.0");
  EXPECT_EQ(Format(param, -3.24), "-3.2");
  EXPECT_EQ(Format(param, 0.0), "0.0");
  EXPECT_EQ(Format(param, 1.0, true), "+10.0");

  IParam negated;
  negated.ConfigureDouble("Cut", 0.0, 0.0, 10.0, 0.5, "", kFlagNegateDisplay, "",
                          IParam::ShapeLinear());
  EXPECT_EQ(Format(negated, 0.0), "0.0");
  EXPECT_EQ(Format(negated, 2.5), "-2.5");

  IParam whole;
  whole.ConfigureDouble("Count", 0.0, -100.0, 100.0, 1.0, "", 0, "", IParam::ShapeLinear());
  EXPECT_EQ(Format(whole, 2.5), "3");
  EXPECT_EQ(Format(whole, -2.5), "-3");
  EXPECT_EQ(Format(whole, -0.4), "0");
  EXPECT_EQ(Format(whole, 1e300).size(), 31u);
}

TEST(IParam, FormatDisplayTextsAndFormatter) {
  IParam mode;
  mode.ConfigureInt("Mode", 0, 0, 3);
  mode.AddDisplayText(0, "Manual");
  mode.AddDisplayText(1, "Learn Fixed");
  mode.AddDisplayText(2, "");
  mode.AddDisplayText(2, "shadowed");
  EXPECT_EQ(mode.DisplayTextCount(), 4);
  EXPECT_EQ(Format(mode, 1.0), "Learn Fixed");
  EXPECT_EQ(Format(mode, 1.0, false, false), "1");
  // An empty text ends the search: the number is shown.
  EXPECT_EQ(Format(mode, 2.0), "2");
  EXPECT_EQ(Format(mode, 3.0), "3");
  EXPECT_STREQ(mode.DisplayTextFor(2.0), "");
  EXPECT_STREQ(mode.DisplayTextFor(7.0), "");

  IParam custom;
  custom.ConfigureDouble("Custom", 0.0, 0.0, 1.0, 0.01, "", 0, "", IParam::ShapeLinear(), 21,
                         [](double v, StringBuffer& out) { out.SetFormatted(31, "<%g>", v); });
  EXPECT_EQ(Format(custom, 0.25), "<0.25>");
}

TEST(IParam, DisplayLabelHiddenBehindDisplayText) {
  IParam param;
  param.ConfigureDouble("Freq", 0.0, 0.0, 100.0, 0.1, "Hz", 0, "", IParam::ShapeLinear());
  param.AddDisplayText(0.0, "Off");
  param.AddDisplayText(5.0, "");
  EXPECT_STREQ(param.GetDisplayLabel(), "");
  param.Set(0.7);
  EXPECT_STREQ(param.GetDisplayLabel(), "");
  param.Set(5.5);
  EXPECT_STREQ(param.GetDisplayLabel(), "Hz");
  param.Set(50.0);
  EXPECT_STREQ(param.GetDisplayLabel(), "Hz");
}

TEST(IParam, ValueFromText) {
  IParam param;
  param.ConfigureDouble("Level", 5.0, 0.0, 10.0, 0.1, "", 0, "", IParam::ShapeLinear());
  param.AddDisplayText(-1.0, "Auto");
  EXPECT_EQ(param.ValueFromText("Auto"), -1.0);
  EXPECT_EQ(param.ValueFromText("12.5"), 10.0);
  EXPECT_EQ(param.ValueFromText("2.5 dB"), 2.5);
  EXPECT_EQ(param.ValueFromText("abc"), 0.0);
  EXPECT_EQ(param.ValueFromText(nullptr), 0.0);
  // Texts the number reader turns into NaN or an infinity stay in range.
  // Whether "nan" reads as NaN or as no number depends on the C library.
  const double fromNan = param.ValueFromText("nan");
  EXPECT_GE(fromNan, 0.0);
  EXPECT_LE(fromNan, 10.0);
  EXPECT_EQ(param.ValueFromText("-inf"), 0.0);
  EXPECT_EQ(param.ValueFromText("1e999"), 10.0);

  IParam negated;
  negated.ConfigureDouble("Depth", 0.0, -20.0, 0.0, 0.1, "", kFlagNegateDisplay, "",
                          IParam::ShapeLinear());
  EXPECT_EQ(negated.ValueFromText("6"), -6.0);

  IParam enumerated;
  enumerated.ConfigureInt("Routing", 1, 0, 1);
  enumerated.AddDisplayText(0, "Linked Stereo");
  enumerated.AddDisplayText(1, "Dual Mono");
  EXPECT_EQ(enumerated.ValueFromText("Dual Mono"), 1.0);
  EXPECT_EQ(enumerated.ValueFromText("1"), 1.0);
}

} // namespace
} // namespace plugkit
