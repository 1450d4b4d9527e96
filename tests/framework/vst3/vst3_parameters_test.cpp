#include "tests/framework/vst3/vst3_test_plugin.h"

#include "framework/vst3/midi_controller_names.h"
#include "framework/vst3/utf16_text.h"
#include "tests/support/vst3_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

namespace plugkit::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

std::u16string Utf16(const char* text) {
  TChar out[128];
  Utf8ToUtf16(text, out, 128);
  return std::u16string(reinterpret_cast<const char16_t*>(out));
}

class Vst3Parameters : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(plug->initialize(&host), kResultOk); }
  void TearDown() override { plug->terminate(); }

  ParameterInfo Info(int32 index) {
    ParameterInfo info{};
    EXPECT_EQ(plug->getParameterInfo(index, info), kResultOk);
    return info;
  }
  tresult FromString(ParamID id, const char* text, ParamValue& value) {
    std::u16string wide = Utf16(text);
    return plug->getParamValueByString(id, reinterpret_cast<TChar*>(wide.data()), value);
  }
  std::string ToString(ParamID id, ParamValue value) {
    String128 text{};
    EXPECT_EQ(plug->getParamStringByValue(id, value, text), kResultOk);
    return Utf8Of(text);
  }

  NamedHost host{u"Test Host"};
  IPtr<GainPlugin> plug = owned(new GainPlugin());
};

TEST_F(Vst3Parameters, BypassComesFirstThenEveryParameterWithItsInfo) {
  ASSERT_EQ(plug->getParameterCount(), 5);
  const ParameterInfo bypass = Info(0);
  EXPECT_EQ(bypass.id, kBypassParamId);
  EXPECT_EQ(Utf8Of(bypass.title), "Bypass");
  EXPECT_EQ(bypass.flags,
            ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass);
  EXPECT_EQ(bypass.stepCount, 1);
  EXPECT_EQ(ToString(kBypassParamId, 0.0), "off");
  EXPECT_EQ(ToString(kBypassParamId, 1.0), "on");

  const ParameterInfo gain = Info(1);
  EXPECT_EQ(gain.id, 0u);
  EXPECT_EQ(Utf8Of(gain.title), "Gain");
  EXPECT_EQ(Utf8Of(gain.units), "x");
  EXPECT_EQ(gain.stepCount, 0);
  EXPECT_DOUBLE_EQ(gain.defaultNormalizedValue, 0.25);
  EXPECT_EQ(gain.flags, ParameterInfo::kCanAutomate);

  const ParameterInfo mode = Info(2);
  EXPECT_EQ(Utf8Of(mode.title), "Mode");
  EXPECT_EQ(mode.stepCount, 3);
  EXPECT_EQ(Info(3).stepCount, 10);
  EXPECT_EQ(Info(4).flags, 0)
      << "a parameter that cannot be automated is not offered for automation";
}

TEST_F(Vst3Parameters, GroupsBecomeUnitsInOrderOfFirstUse) {
  EXPECT_EQ(Info(1).unitId, 1);
  EXPECT_EQ(Info(2).unitId, kRootUnitId);
  EXPECT_EQ(Info(3).unitId, 1) << "a later parameter of the same group shares its unit";
  EXPECT_EQ(Info(4).unitId, 2);
  ASSERT_EQ(plug->getUnitCount(), 3);
  const char* names[] = {"Root", "Amp", "Misc"};
  for (int32 i = 0; i < 3; ++i) {
    UnitInfo unit{};
    ASSERT_EQ(plug->getUnitInfo(i, unit), kResultOk);
    EXPECT_EQ(unit.id, i);
    EXPECT_EQ(Utf8Of(unit.name), names[i]);
    EXPECT_EQ(unit.parentUnitId, i == 0 ? kNoParentUnitId : kRootUnitId);
    EXPECT_EQ(unit.programListId, kNoProgramListId);
  }
}

TEST_F(Vst3Parameters, TextConversionsGoBothWays) {
  EXPECT_EQ(ToString(0, 0.5), "2.00");
  EXPECT_EQ(ToString(1, 2.0 / 3.0), "Hard");
  ParamValue value = -1;
  ASSERT_EQ(FromString(0, "3", value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 0.75);
  ASSERT_EQ(FromString(0, " 1.5 ", value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 0.375);
  ASSERT_EQ(FromString(1, "Auto", value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 1.0);
  ASSERT_EQ(FromString(0, "99", value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 1.0) << "out of range clamps";
}

TEST_F(Vst3Parameters, TextThatIsNoNumberIsRefused) {
  for (const char* text : {"", "abc", "1.5x", "nan", "inf", "-inf", "Loud"}) {
    ParamValue value = 0.123;
    EXPECT_NE(FromString(0, text, value), kResultOk) << text;
    EXPECT_DOUBLE_EQ(value, 0.123) << text;
  }
  ParamValue value = 0.123;
  EXPECT_NE(FromString(1, "Loud", value), kResultOk);
}

TEST_F(Vst3Parameters, HostValuesReachTheParameterAndTheEditor) {
  EXPECT_EQ(plug->setParamNormalized(0, 0.5), kResultOk);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 2.0);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(0), 0.5);
  ASSERT_EQ(plug->toUI.size(), 1u);
  EXPECT_EQ(plug->toUI[0].paramIdx, 0);

  EXPECT_EQ(plug->setParamNormalized(kBypassParamId, 1.0), kResultOk);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(kBypassParamId), 1.0);
  EXPECT_EQ(plug->setParamNormalized(kPresetParamId, 1.0), kResultFalse);
  EXPECT_EQ(plug->setParamNormalized(4, 1.0), kResultFalse);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(4), 0.0);
  EXPECT_EQ(plug->toUI.size(), 1u);
}

TEST_F(Vst3Parameters, HostValuesAreClampedAndNonFiniteOnesRefused) {
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL})
    EXPECT_EQ(plug->setParamNormalized(0, bad), kResultFalse) << bad;
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(0), 0.25);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 1.0);
  EXPECT_TRUE(plug->toUI.empty());
  for (const auto& [sent, kept] : {std::pair{1.5, 1.0}, std::pair{-0.5, 0.0}}) {
    EXPECT_EQ(plug->setParamNormalized(0, sent), kResultOk);
    EXPECT_DOUBLE_EQ(plug->getParamNormalized(0), kept);
    EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 4.0 * kept);
    EXPECT_DOUBLE_EQ(plug->toUI.back().value, kept) << "the editor hears the clamped value";
  }
}

TEST_F(Vst3Parameters, NoControllerAssignmentsWithoutMidiInput) {
  ParamID id = 0;
  EXPECT_EQ(plug->getMidiControllerAssignment(0, 0, 7, id), kResultFalse);
}

TEST(Vst3MidiParameters, ControllerParametersAndAssignments) {
  NamedHost host{u"Test Host"};
  auto plug = owned(new GainPlugin(GainPlugin::Config("1-1 2-2", true)));
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  EXPECT_EQ(plug->getParameterCount(), 5 + 130);
  ParamID id = 0;
  ASSERT_EQ(plug->getMidiControllerAssignment(0, 0, 7, id), kResultOk);
  EXPECT_EQ(id, 0x10009u);
  EXPECT_EQ(plug->getMidiControllerAssignment(1, 0, 7, id), kResultFalse);
  EXPECT_EQ(plug->getMidiControllerAssignment(0, 3, 7, id), kResultFalse);

  ParameterInfo info{};
  ASSERT_EQ(plug->getParameterInfo(5 + 7, info), kResultOk);
  EXPECT_EQ(Utf8Of(info.title), "MainVolume");
  ASSERT_EQ(plug->getParameterInfo(5 + 129, info), kResultOk);
  EXPECT_EQ(Utf8Of(info.title), "Pitch Bend");
  EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.5);
  EXPECT_EQ(info.flags, 0);
  // Root and the two groups come first; each MIDI unit takes the unit count
  // plus one as its id.
  ASSERT_EQ(plug->getUnitCount(), 5);
  UnitInfo midiUnit{};
  ASSERT_EQ(plug->getUnitInfo(3, midiUnit), kResultOk);
  EXPECT_EQ(Utf8Of(midiUnit.name), "MIDI CCs");
  EXPECT_EQ(midiUnit.id, 4);
  EXPECT_EQ(midiUnit.parentUnitId, kRootUnitId);
  UnitInfo channelUnit{};
  ASSERT_EQ(plug->getUnitInfo(4, channelUnit), kResultOk);
  EXPECT_EQ(Utf8Of(channelUnit.name), "CH1");
  EXPECT_EQ(channelUnit.id, 5);
  EXPECT_EQ(channelUnit.parentUnitId, midiUnit.id);
  EXPECT_EQ(info.unitId, channelUnit.id);
  plug->terminate();
}

TEST(Vst3MidiControllerNames, NamedAndNumberedControllers) {
  StringBuffer name;
  MidiControllerName(66, name);
  EXPECT_STREQ(name.Get(), "Sostenuto ");
  MidiControllerName(79, name);
  EXPECT_STREQ(name.Get(), "SoundCont 10");
  MidiControllerName(3, name);
  EXPECT_STREQ(name.Get(), "Contr. 3");
  MidiControllerName(120, name);
  EXPECT_STREQ(name.Get(), "Contr. 120");
}

TEST(Vst3Utf16Text, MalformedTextIsReplacedAndLongTextCutWhole) {
  const TChar loneSurrogate[] = {u'a', 0xD800, u'b', 0};
  char out[16];
  Utf16ToUtf8(loneSurrogate, 128, out, sizeof(out));
  EXPECT_STREQ(out,
               "a\xEF\xBF\xBD"
               "b");
  TChar wide[3];
  EXPECT_EQ(Utf8ToUtf16("a\xF0\x9F\x8E\xB5", wide, 3), 1)
      << "a surrogate pair that does not fit is left out";
  EXPECT_EQ(Utf8ToUtf16("\xC3", wide, 3), 1);
  EXPECT_EQ(wide[0], 0xFFFD);
  char small[3];
  EXPECT_EQ(Utf16ToUtf8(u"\u00E9\u00E9", 128, small, sizeof(small)), 2);
}

} // namespace
} // namespace plugkit::test
