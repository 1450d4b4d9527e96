#include <gtest/gtest.h>

#include "tarvex/editor/button.h"
#include "tarvex/editor/display_controls.h"
#include "tests/tarvex/editor/editor_rig.h"

#include <cmath>
#include <thread>

namespace tarvex {
namespace {

using testing::EditorGraphics;
using testing::EditorTarvex;
using testing::IMouseMod;
using testing::IRect;

// Centres of the header and action buttons.
constexpr float kBankX = 1056, kCopyX = 1120, kHeaderY = 60;
constexpr float kLearnX = 560, kStopX = 680, kClearFixedX = 800, kClearLiveX = 930, kFreezeX = 1070,
                kActionY = 120;
constexpr float kBypassX = 100, kBypassY = 778;

double Tone(long n) { return 0.3 * std::sin(2.0 * 3.14159265358979 * 440.0 * n / 48000.0); }

TEST(EditorButtons, BankSwitchAndCopyReachThePluginAndCopyReportsARefusal) {
  EditorTarvex plug;
  auto& g = plug.Open();
  plug.SetPlain(kParamMix, 40.0);
  g.Click(kCopyX, kHeaderY);
  g.Frame();
  EXPECT_TRUE(g.Drew("COPY TO THE OTHER BANK"));
  plug.SetPlain(kParamMix, 70.0);
  g.Click(kBankX, kHeaderY);
  g.Frame();
  EXPECT_EQ(plug.ActiveBank(), 1);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamMix), 40.0);
  EXPECT_TRUE(g.Drew("B"));
  EXPECT_EQ(g.Text("B")->color, kColorTeal);
  g.Click(kBankX, kHeaderY);
  g.Frame();
  EXPECT_EQ(plug.ActiveBank(), 0);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamMix), 70.0);

  // A copy that meets a running bank operation is refused; the help strip
  // says so instead of claiming a copy.
  bool once = true;
  plug.duringUpdate = [&] {
    IMouseMod touch;
    touch.touchID = 1;
    if (once) g.Click(kCopyX, kHeaderY, touch);
    once = false;
  };
  g.Click(kBankX, kHeaderY);
  plug.duringUpdate = nullptr;
  g.Frame();
  EXPECT_TRUE(g.Drew("COPY NOT DONE"));
  EXPECT_FALSE(g.Drew("COPY TO THE OTHER BANK"));
}

TEST(EditorButtons, PageButtonsAndTheSlotPageButtonSwitchPages) {
  EditorTarvex plug;
  auto& g = plug.Open();
  g.Click(660, 540);
  g.Frame();
  EXPECT_TRUE(g.Drew("FILTER BUDGET / TIMING / DISPLAY"));
  EXPECT_EQ(g.Text("TIMING / BUDGET")->color, kColorTeal);
  EXPECT_EQ(g.Text("MANUAL SLOT 01")->color, kColorIvory);
  g.Click(1000, 540);
  g.Frame();
  EXPECT_TRUE(g.Drew("SELECTED MANUAL SLOT / REQUESTED CONTROLS"));
  EXPECT_EQ(g.Text("MANUAL SLOT 01")->color, kColorTeal);
  EXPECT_TRUE(g.Drew("MANUAL ENABLE"));
  g.Click(958 + 50, 778);
  ASSERT_EQ(g.urls.size(), 1u);
  EXPECT_EQ(g.urls[0], std::string("mailto:") + kMakerSupportAddress);
  g.Click(100, 20);
  EXPECT_EQ(g.urls.back(), kMakerWebPage);
}

TEST(EditorButtons, TooltipsSayWhatTheButtonDoes) {
  EditorTarvex plug;
  auto& g = plug.Open();
  struct Case {
    float x, y;
    const char* tooltip;
  };
  for (const Case& c : {Case{150, 540, "Open the selected control view."},
                        Case{1000, 540, "Open the selected control view."},
                        Case{1050, 778, "Write an e-mail to the support address."}}) {
    const testing::IControl* control = g.GetMouseControl(c.x, c.y, false, true);
    ASSERT_NE(control, nullptr) << c.x << ", " << c.y;
    EXPECT_STREQ(control->GetTooltip(), c.tooltip) << c.x << ", " << c.y;
  }
}

TEST(EditorButtons, LearnAndStopFollowModeAndLearning) {
  EditorTarvex plug;
  plug.Activate();
  auto& g = plug.Open();
  for (double mode : {0.0, 2.0, 1.0}) {
    plug.SetPlain(kParamMode, mode);
    g.Frame();
    g.Click(kLearnX, kActionY);
    g.Key(kLearnX, kActionY, 13);
  }
  g.Click(kStopX, kActionY);
  ASSERT_EQ(plug.commands.size(), 2u) << "only in Learn Fixed, by click and by Enter";
  for (const auto& c : plug.commands) EXPECT_EQ(c.mode, 1);
  plug.Process(512, Tone);
  g.Frame();
  EXPECT_TRUE(g.Drew("LEARN"));
  EXPECT_EQ(g.Text("LEARN", IRect(518, 106, 627, 142))->color, kColorTeal) << "lit while learning";
  g.Key(kStopX, kActionY, 32);
  ASSERT_EQ(plug.commands.size(), 3u);
  EXPECT_EQ(plug.commands.back().bits, unsigned(kCommandStopLearning));
  g.Frame();
  EXPECT_TRUE(g.Drew("Learning stopped. Valid Fixed filters remain in the saved bank."));
  plug.refuseCommands = true;
  g.Click(kLearnX, kActionY);
  g.Frame();
  EXPECT_TRUE(g.Drew("ACTION NOT QUEUED"));
}

TEST(EditorButtons, ClearingAndBypassAskForConfirmationWhileAudioComesOut) {
  EditorTarvex plug;
  plug.Activate();
  auto& g = plug.Open();
  plug.SetPlain(kParamMode, 2.0);
  const double f = 171.0 * 48000.0 / 8192.0;
  plug.Process(36000, testing::GrowingSine(-40.0, 3.0, f, 48000.0));
  ASSERT_GT(plug.Snapshot().liveCount, 0);
  g.Frame();

  // First click arms, shows CONFIRM in amber; another action re-arms.
  g.Click(kClearLiveX, kActionY);
  g.Frame();
  EXPECT_TRUE(plug.commands.empty());
  EXPECT_EQ(g.Text("CONFIRM")->color, kColorAmber);
  EXPECT_TRUE(g.Drew("CONFIRM REMOVING ACTIVE FILTERS"));
  g.Click(kBypassX, kBypassY);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamBypass), 0.0);
  g.Click(kClearLiveX, kActionY);
  EXPECT_TRUE(plug.commands.empty()) << "bypass took over the confirmation";
  g.Click(kClearLiveX, kActionY);
  ASSERT_EQ(plug.commands.size(), 1u);
  EXPECT_EQ(plug.commands[0].bits, unsigned(kCommandClearLive));

  // Bypass on with audio: two clicks; off: one.
  g.Click(kBypassX, kBypassY);
  g.Click(kBypassX, kBypassY);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamBypass), 1.0);
  g.Frame();
  EXPECT_TRUE(g.Drew("BYPASS / ORIGINAL AUDIO / FILTERING REMOVED"));
  g.Click(kBypassX, kBypassY);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamBypass), 0.0);
  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_EQ(plug.OpenEdits(), 0);

  // An expired confirmation arms again.
  plug.Process(512, Tone);
  ViewState& view = testing::ControlsOf<Button>(g)[0]->View();
  g.Click(kBypassX, kBypassY);
  view.confirmDeadline = 0;
  g.Click(kBypassX, kBypassY);
  EXPECT_EQ(view.pendingConfirm, kParamBypass + 1000);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamBypass), 0.0);
}

TEST(EditorButtons, WithSilentOutputActionsRunAtOnceAndDisabledButtonsIgnoreInput) {
  EditorTarvex plug;
  plug.Activate();
  auto& g = plug.Open();
  plug.Process(512, [](long) { return 0.0; });
  g.Frame();
  for (float x : {kClearFixedX, kClearLiveX, kFreezeX, kStopX}) {
    g.Click(x, kActionY);
    g.Key(x, kActionY, 13);
  }
  EXPECT_TRUE(plug.commands.empty());
  g.Click(kBypassX, kBypassY);
  EXPECT_DOUBLE_EQ(plug.Plain(kParamBypass), 1.0);
  g.Frame();
  EXPECT_EQ(g.Text("CLEAR FIXED")->color, kColorSlate);
}

} // namespace
} // namespace tarvex
