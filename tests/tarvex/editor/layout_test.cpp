#include <gtest/gtest.h>

#include "tarvex/editor/button.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/filter_graph.h"
#include "tarvex/editor/param_controls.h"
#include "tarvex/editor/param_help.h"
#include "tests/tarvex/editor/editor_rig.h"

#include <algorithm>
#include <string>
#include <typeinfo>

namespace tarvex {
namespace {

using testing::ControlsOf;
using testing::EditorTarvex;
using testing::IControl;

bool Same(const IRect& a, const IRect& b) {
  return std::abs(a.L - b.L) < 1e-3f && std::abs(a.T - b.T) < 1e-3f &&
         std::abs(a.R - b.R) < 1e-3f && std::abs(a.B - b.B) < 1e-3f;
}

struct Place {
  int index;
  const std::type_info& type;
  IRect rect;
};

TEST(EditorLayout, EveryFixedControlSitsAtItsPlaceInOrder) {
  EditorTarvex plug;
  auto& g = plug.Open();
  ASSERT_EQ(g.Width(), 1180);
  ASSERT_EQ(g.Height(), 800);
  const Place places[] = {
      {0, typeid(Backdrop), {0, 0, 1180, 800}},
      {1, typeid(Brand), {28, 0, 238, 42}},
      {2, typeid(PresetMenu), {747, 40, 1015, 82}},
      {3, typeid(Button), {1028, 40, 1084, 82}},
      {4, typeid(Button), {1096, 40, 1144, 82}},
      {5, typeid(EnumMenu), {36, 106, 276, 142}},
      {6, typeid(EnumMenu), {289, 106, 505, 142}},
      {7, typeid(Button), {518, 106, 627, 142}},
      {8, typeid(Button), {639, 106, 726, 142}},
      {9, typeid(Button), {738, 106, 863, 142}},
      {10, typeid(Button), {875, 106, 1000, 142}},
      {11, typeid(Button), {1012, 106, 1144, 142}},
      {12, typeid(FilterGraph), {36, 151, 855, 374}},
      {13, typeid(LiveState), {868, 151, 1144, 374}},
      {14, typeid(BankTile), {44, 393, 218.5f, 418}},
      {37, typeid(BankTile), {44 + 5 * 183.5f, 393 + 3 * 29, 44 + 5 * 183.5f + 174.5f, 505}},
      {38, typeid(Button), {36, 522, 301, 559}},
      {40, typeid(Button), {596, 522, 861, 559}},
      {41, typeid(Button), {876, 522, 1144, 559}},
      {42, typeid(PageCaption), {49, 565, 1130, 598}},
  };
  for (const Place& p : places) {
    const IControl* c = g.GetControl(p.index);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(typeid(*c), p.type) << p.index;
    EXPECT_TRUE(Same(c->GetRECT(), p.rect)) << p.index;
  }
  const int n = g.NControls();
  const Place bottom[] = {
      {n - 4, typeid(ContextHelp), {36, 720, 1144, 750}},
      {n - 3, typeid(Button), {36, 762, 167, 794}},
      {n - 2, typeid(Status), {189, 758, 936, 796}},
      {n - 1, typeid(Button), {958, 762, 1144, 794}},
  };
  for (const Place& p : bottom) {
    const IControl* c = g.GetControl(p.index);
    EXPECT_EQ(typeid(*c), p.type) << p.index;
    EXPECT_TRUE(Same(c->GetRECT(), p.rect)) << p.index;
  }
  EXPECT_EQ(g.GetControl(n - 3)->GetParamIdx(), kParamBypass);
  for (int i : {0, 13, 42, n - 4, n - 2}) EXPECT_TRUE(g.GetControl(i)->GetIgnoreMouse()) << i;
  EXPECT_NE(g.GetCornerResizer(), nullptr);
  EXPECT_FLOAT_EQ(g.GetMinScale(), 0.85f);
  EXPECT_FLOAT_EQ(g.GetMaxScale(), 1.5f);
  EXPECT_TRUE(g.TooltipsEnabled());
}

TEST(EditorLayout, TwentySevenPagesHoldEveryParameterAtItsColumn) {
  EditorTarvex plug;
  auto& g = plug.Open();
  // 24 global and 168 slot parameters: knobs with their value entries, menus
  // and toggles.
  std::vector<int> seen(kParamCount, 0);
  for (int page = 0; page < 27; ++page) {
    SCOPED_TRACE(page);
    if (page < 3)
      g.Click(100 + 280 * page, 540);
    else
      g.Click(50 + 183.5f * ((page - 3) % 6), 400 + 29 * ((page - 3) / 6));
    for (int i = 0; i < g.NControls(); ++i) {
      IControl* c = g.GetControl(i);
      const int p = c->GetParamIdx();
      if (p < 0 || i < 43 || i == g.NControls() - 3) continue; // always shown
      const int expectedPage = p < 24 ? p / 8 : 3 + (p - 24) / 7;
      const int position = p < 24 ? p % 8 : (p - 24) % 7;
      EXPECT_EQ(c->IsHidden(), expectedPage != page) << p;
      if (expectedPage != page) continue;
      ++seen[p];
      const float x = position * 137.5f + 45;
      const bool toggle = dynamic_cast<Button*>(c) != nullptr;
      EXPECT_TRUE(Same(c->GetRECT(),
                       toggle ? IRect(x + 5, 644, x + 125, 687) : IRect(x, 607, x + 130, 711)))
          << p;
    }
    g.Frame();
    const bool global = page < 3;
    EXPECT_EQ(g.Drew("24 SHARED STABLE POSITIONS"), global);
    EXPECT_EQ(g.Drew("OFF CONTROLS RETAIN THEIR VALUES"), !global);
  }
  for (int p = 0; p < kParamCount; ++p) EXPECT_EQ(seen[p], 1) << p;
  EXPECT_EQ(ControlsOf<Knob>(g).size(), ControlsOf<ValueEntry>(g).size());
  EXPECT_EQ(ControlsOf<EnumMenu>(g).size(), 2u + 4u);
  EXPECT_EQ(ControlsOf<Knob>(g).size(), 18u + 24u * 5u);
}

TEST(EditorLayout, DefaultScreenShowsThePartsTexts) {
  EditorTarvex plug;
  plug.Activate(44100.0);
  auto& g = plug.Open();
  g.Frame();
  for (const char* text : {"Tarvex",
                           "LISTEN / IDENTIFY / CONTROL",
                           "Neutral Manual",
                           "A",
                           "COPY",
                           "LEARN",
                           "STOP",
                           "CLEAR FIXED",
                           "CLEAR LIVE",
                           "FREEZE LIVE",
                           "REAL SPECTRUM",
                           "WAITING FOR REAL SIGNAL",
                           "WET FILTER RESPONSE",
                           "START PLAYBACK FOR LIVE RESPONSE",
                           "SIGNAL / MODE",
                           "DETECTOR / EVIDENCE",
                           "TIMING / BUDGET",
                           "MANUAL SLOT 01",
                           "SIGNAL / MODE / LEVEL",
                           "MODE",
                           "ROUTING",
                           "INPUT",
                           "OUTPUT",
                           "MIX",
                           "BYPASS",
                           "SENSITIVITY",
                           "NOISE FLOOR",
                           "Manual",
                           "Linked Stereo",
                           "ENGINE / FILTER BANK",
                           "NO CURRENT CANDIDATE",
                           "CAUSAL NOTCH FILTERS / ZERO PDC / 44.1 kHz",
                           "HEURISTIC DETECTION / NO TEST TONE / NO AUTOMATIC GAIN INCREASE",
                           "BRASKELIN",
                           kMakerSupportAddress,
                           "0 MANUAL / 0 FIXED / 0 LIVE",
                           "0.0 dB",
                           "100 %",
                           "50 %",
                           "-55.0 dBFS"})
    EXPECT_TRUE(g.Drew(text)) << text;
  char tile[4];
  for (int i = 1; i <= 24; ++i) {
    std::snprintf(tile, sizeof tile, "%02d", i);
    EXPECT_TRUE(g.Drew(tile)) << tile;
  }
  EXPECT_EQ(g.Text("LISTEN / IDENTIFY / CONTROL")->color, kColorAmber) << "help title";
  EXPECT_TRUE(g.Drew(
      "Select a stable slot. Start Learn is deliberate; Fixed and Live filters differ. Real FFT "
      "and applied response require running audio. No test signal is generated."));
  EXPECT_FALSE(g.Drew("MIN FREQUENCY")) << "page 1 is hidden";
}

TEST(EditorLayout, InactiveControlsFollowModeAndSlotSwitches) {
  EditorTarvex plug;
  auto& g = plug.Open();
  auto disabled = [&](int param) {
    for (int i = 0; i < g.NControls() - 4; ++i)
      if (g.GetControl(i)->GetParamIdx() == param) return g.GetControl(i)->IsDisabled();
    return false;
  };
  g.Frame();
  for (int p = 0; p < 24; ++p) {
    const bool detector = p >= kParamSensitivity && p <= kParamCooldown && p != kParamAttack;
    EXPECT_EQ(disabled(p), detector) << p;
  }
  g.Click(380, 540);
  g.Frame();
  EXPECT_EQ(g.Text("MIN FREQUENCY")->color, kColorSlate);
  plug.SetPlain(kParamMode, 1.0);
  g.Frame();
  for (int p = 0; p < 24; ++p) EXPECT_FALSE(disabled(p)) << p;
  EXPECT_EQ(g.Text("MIN FREQUENCY")->color, kColorIvory);

  const int slot = 5;
  auto field = [&](int f) { return SlotParamIndex(slot, f); };
  for (int f = 1; f < 7; ++f) EXPECT_TRUE(disabled(field(f))) << f;
  EXPECT_FALSE(disabled(field(kSlotEnabled)));
  plug.SetPlain(field(kSlotEnabled), 1.0);
  g.Frame();
  for (int f = 1; f < 7; ++f)
    EXPECT_EQ(disabled(field(f)), f == kSlotThreshold || f == kSlotRelease) << f;
  plug.SetPlain(field(kSlotDynamic), 1.0);
  g.Frame();
  for (int f = 0; f < 7; ++f) EXPECT_FALSE(disabled(field(f))) << f;
  EXPECT_DOUBLE_EQ(plug.Plain(field(kSlotThreshold)),
                   ParamSpecAt(field(kSlotThreshold)).defaultValue);
}

TEST(EditorLayout, ReopenedEditorStartsAgainOnPageZero) {
  EditorTarvex plug;
  auto& first = plug.Open();
  first.Click(50 + 183.5f, 400 + 2 * 29);
  first.Frame();
  EXPECT_TRUE(first.Drew("MANUAL SLOT 14"));
  EXPECT_TRUE(first.Drew("24 STABLE FILTER SLOTS"));
  plug.CloseEditor();
  auto& second = plug.Open();
  second.Frame();
  EXPECT_TRUE(second.Drew("MANUAL SLOT 01"));
  EXPECT_TRUE(second.Drew("SIGNAL / MODE / LEVEL"));
  EXPECT_TRUE(second.Drew("LISTEN / IDENTIFY / CONTROL"));
}

TEST(EditorLayout, ParentWindowResizeKeepsTheLayoutAndLimitsTheScale) {
  EditorTarvex plug;
  plug.OnParentWindowResize(1770, 1200);
  auto& g = plug.Open();
  struct Case {
    int w, h;
    float scale;
  };
  for (const Case& c : {Case{1770, 1200, 1.5f}, Case{590, 400, 0.85f}, Case{1180, 900, 1.f},
                        Case{5000, 4000, 1.5f}, Case{0, 800, 1.5f}, Case{1180, -1, 1.5f}}) {
    plug.OnParentWindowResize(c.w, c.h);
    EXPECT_EQ(g.Width(), 1180);
    EXPECT_EQ(g.Height(), 800);
    EXPECT_FLOAT_EQ(g.GetDrawScale(), c.scale) << c.w << " x " << c.h;
  }
  // 1770 x 1200 fits 1.5 exactly; 590 x 400 and 5000 x 4000 are limited and
  // ask for a window of the limited size; sizes that change nothing ask for
  // nothing.
  EXPECT_EQ(plug.platformResizes, (std::vector<bool>{false, true, false, true}));
}

TEST(EditorLayout, SlotTileFrequencyTakesItsUnitFromTheShownNumber) {
  struct Case {
    double frequency;
    const char* shown;
  };
  for (const Case& c : {Case{999.4, "999Hz"}, Case{999.6, "1.0k"}, Case{1000.0, "1.0k"}}) {
    EditorTarvex plug;
    plug.Activate(48000.0);
    auto& g = plug.Open();
    plug.SetPlain(SlotParamIndex(0, kSlotEnabled), 1.0);
    plug.SetPlain(SlotParamIndex(0, kSlotFrequency), c.frequency);
    plug.Process(4096, [](long) { return 0.0; });
    g.Frame();
    EXPECT_TRUE(g.Drew(c.shown)) << c.frequency;
  }
}

} // namespace
} // namespace tarvex
