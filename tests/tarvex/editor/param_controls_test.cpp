#include <gtest/gtest.h>

#include "framework/graphics/text_entry_control.h"
#include "tarvex/editor/param_controls.h"
#include "tests/tarvex/editor/editor_rig.h"

#include <cctype>
#include <functional>
#include <string>

namespace tarvex {
namespace {

using testing::EditorGraphics;
using testing::EditorTarvex;
using testing::IMouseMod;

// Knob columns: x of the column's left edge; value boxes sit at y 682..708.
float Column(int position) { return position * 137.5f + 45; }
constexpr float kKnobY = 650, kValueBoxY = 695;

// Types text into the value entry of the knob at the column and commits it.
void Type(EditorGraphics& g, int position, const char* text) {
  g.Click(Column(position) + 65, kValueBoxY);
  ASSERT_NE(g.GetControlInTextEntry(), nullptr);
  for (int i = 0; i < 8; ++i) g.Key(0, 0, 46); // Delete the selected value
  for (const char* p = text; *p; ++p) {
    testing::IKeyPress key;
    key.utf8[0] = *p;
    key.VK = std::isalpha(static_cast<unsigned char>(*p))                ? std::toupper(*p)
             : std::isdigit(static_cast<unsigned char>(*p)) || *p == ' ' ? *p
             : *p == '.'                                                 ? 0xBE
                                                                         : 0xBF;
    g.OnKeyDown(0, 0, key);
  }
  g.Key(0, 0, 13);
}

TEST(EditorParamControls, KnobsTakeTypedValuesWithUnitsAndRefuseTheRest) {
  EditorTarvex plug;
  auto& g = plug.Open();
  plug.SetPlain(kParamMode, 1.0);
  g.Frame();
  g.Click(380, 540); // page 1: Max Frequency in column 1, Persistence in 2
  g.Click(Column(1) + 65, kValueBoxY);
  g.Frame();
  EXPECT_FALSE(g.Drew("16.00 kHz")) << "the entry covers the value";
  EXPECT_TRUE(g.Drew("16000"));
  g.Key(0, 0, 27);
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c : {Case{"2k", 2000.0}, Case{"3 KHZ", 3000.0}, Case{"2500hz", 2500.0},
                        Case{"25k", 2500.0}, Case{"abc", 2500.0}, Case{"2 s", 2500.0}}) {
    Type(g, 1, c.text);
    EXPECT_NEAR(plug.Plain(kParamMaxFrequency), c.value, 1e-6) << c.text;
  }
  g.Frame();
  EXPECT_TRUE(g.Drew("VALID PHYSICAL VALUES"));
  EXPECT_TRUE(g.Drew("2.50 kHz"));
  Type(g, 2, "0.25 s");
  EXPECT_NEAR(plug.Plain(kParamPersistence), 250.0, 1e-6);
  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_EQ(plug.OpenEdits(), 0);
}

TEST(EditorParamControls, KnobKeysWheelAndDoubleClickStepTheValue) {
  EditorTarvex plug;
  auto& g = plug.Open();
  const float x = Column(4) + 65; // Mix, 0..100 linear
  plug.SetPlain(kParamMix, 99.5);
  g.Key(x, kKnobY, 38);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamMix), 100.0) << "clamped";
  g.Key(x, kKnobY, 40, true);
  EXPECT_NEAR(plug.Plain(kParamMix), 99.9, 1e-9);
  g.Key(x, kKnobY, 37);
  EXPECT_NEAR(plug.Plain(kParamMix), 98.9, 1e-9);
  g.Key(x, kKnobY, 36);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamMix), 100.0);
  g.OnMouseWheel(x, kKnobY, IMouseMod(), -2.f);
  EXPECT_NEAR(plug.Plain(kParamMix), 98.0, 1e-9);
  // Upward drag of a quarter of the height over the gearing of 4.
  g.Drag(x, kKnobY, x, kKnobY - 104.f);
  EXPECT_NEAR(plug.Plain(kParamMix), 100.0, 1e-9);
  g.Drag(x, kKnobY, x, kKnobY + 41.6f);
  EXPECT_NEAR(plug.Plain(kParamMix), 90.0, 1e-4);
  g.OnMouseDblClick(x, kKnobY, IMouseMod());
  EXPECT_DOUBLE_EQ(plug.Plain(kParamMix), 100.0);
  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_FALSE(plug.endWithoutBegin);
  EXPECT_EQ(plug.OpenEdits(), 0);
  g.Frame();
  EXPECT_TRUE(
      g.Drew("Blend original and filtered audio. Automatic filtering is causal; no audio "
             "lookahead."));
}

TEST(EditorParamControls, GesturesStartFromWhatTheHostSetWhileTheControlWasHeld) {
  const float mix = Column(4) + 65;
  struct Case {
    const char* gesture;
    int param;
    float x, y;
    double host;
    std::function<void(EditorGraphics&)> act;
    double expected;
  };
  const Case cases[] = {
      // The press itself switches Bypass on (no audio comes out).
      {"bypass click", kParamBypass, 100, 778, 0.0, [](EditorGraphics& g) { g.Click(100, 778); },
       1.0},
      {"up key", kParamMix, mix, kKnobY, 30.0, [=](EditorGraphics& g) { g.Key(mix, kKnobY, 38); },
       31.0},
      {"typed old value", kParamMix, mix, kKnobY, 30.0, [](EditorGraphics& g) { Type(g, 4, "50"); },
       50.0},
  };
  for (const Case& c : cases) {
    EditorTarvex plug;
    auto& g = plug.Open();
    plug.SetPlain(kParamMix, 50.0);
    testing::IMouseInfo press;
    press.x = c.x;
    press.y = c.y;
    press.ms.L = true;
    g.OnMouseDown({press});
    plug.SetPlain(c.param, c.host);
    g.OnMouseUp({press});
    c.act(g);
    EXPECT_NEAR(plug.Plain(c.param), c.expected, 1e-4) << c.gesture;
  }
}

TEST(EditorParamControls, EnumMenusListValuesWithTheCurrentOneChecked) {
  EditorTarvex plug;
  auto& g = plug.Open();
  g.menuChoice = 2;
  g.Click(150, 120);
  ASSERT_NE(g.lastMenu, nullptr);
  EXPECT_STREQ(g.lastMenu->GetRootTitle(), "Mode");
  ASSERT_EQ(g.lastMenu->NItems(), 3);
  EXPECT_STREQ(g.lastMenu->GetItem(2)->GetText(), "Live Assist");
  EXPECT_EQ(g.lastMenu->GetItem(0)->GetFlags(), plugkit::igraphics::IPopupMenu::Item::kChecked);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamMode), 2.0);
  g.menuChoice = -1;
  g.Key(150, 120, 32);
  EXPECT_EQ(g.lastMenu->GetItem(2)->GetFlags(), plugkit::igraphics::IPopupMenu::Item::kChecked);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamMode), 2.0) << "dismissed";
  g.Frame();
  EXPECT_TRUE(g.Drew("Live Assist"));

  g.Click(660, 540); // page 2: Fixed Limit in column 0
  g.menuChoice = 4;
  g.Click(Column(0) + 65, 680);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamFixedLimit), 4.0);
  EXPECT_EQ(g.lastMenu->NItems(), 25);
  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_EQ(plug.OpenEdits(), 0);
}

TEST(EditorParamControls, EnumMenuValueTextsEndLeftOfTheChevron) {
  EditorTarvex plug;
  auto& g = plug.Open();
  const auto menus = testing::ControlsOf<EnumMenu>(g);
  ASSERT_EQ(menus.size(), 6u) << "Mode and Routing on top and on page 0, Fixed and Live Limit";
  for (EnumMenu* menu : menus) {
    const plugkit::IParam& param = *menu->GetParam();
    const float chevronLeft = menu->ValueBox().R - 18;
    for (int v = static_cast<int>(param.Min()); v <= static_cast<int>(param.Max()); ++v) {
      plug.SetPlain(menu->GetParamIdx(), v);
      g.ClearCalls();
      menu->Draw(g);
      const auto texts = g.CallsNamed({"DoDrawText"});
      ASSERT_FALSE(texts.empty());
      const auto& value = texts.back();
      testing::IRect box = value.rect;
      g.MeasureText(value.style, value.text.c_str(), box);
      EXPECT_LE(box.R, chevronLeft) << param.Name() << " " << value.text;
      EXPECT_LE(value.style.size, 15.f);
    }
  }
}

TEST(EditorParamControls, PresetMenuLoadsAFactoryPresetAndShowsTheMatch) {
  EditorTarvex plug;
  auto& g = plug.Open();
  g.Frame();
  EXPECT_TRUE(g.Drew("Neutral Manual"));
  g.menuChoice = 5;
  g.Click(880, 60);
  ASSERT_EQ(g.lastMenu->NItems(), 16);
  EXPECT_EQ(plug.FindMatchingFactoryPreset(), 5);
  g.Frame();
  EXPECT_TRUE(g.Drew(g.lastMenu->GetItem(5)->GetText()));
  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_EQ(plug.OpenEdits(), 0);
  plug.SetPlain(kParamMix, 13.0);
  g.Frame();
  EXPECT_TRUE(g.Drew("Custom"));
}

} // namespace
} // namespace tarvex
