#include "tests/tarvex/editor/window_tarvex.h"

#include "tarvex/editor/editor_layout.h"
#include "tarvex/plugin/tarvex_params.h"
#include "tests/support/win/client_size.h"
#include "tests/support/win/message_pump.h"
#include "tests/support/win/test_parent_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tarvex::testing {
namespace {

using plugkit::igraphics::IControl;
using plugkit::igraphics::IRect;
using plugkit::test::ClientSize;
using plugkit::test::PumpMessages;
using plugkit::test::TestParentWindow;

// A host's window with room for the editor and its growth.
constexpr int kHostWidth = 1300;
constexpr int kHostHeight = 900;

// The shown control bound to the parameter.
const IControl* ControlOf(plugkit::igraphics::IGraphics& g, int paramIdx) {
  for (int i = 0; i < g.NControls(); ++i) {
    const IControl* c = g.GetControl(i);
    if (c->GetParamIdx() == paramIdx && !c->IsHidden()) return c;
  }
  return nullptr;
}

// The first shown control of a continuous parameter: a knob.
const IControl* FirstKnob(WindowTarvex& plugin) {
  plugkit::igraphics::IGraphics& g = plugin.UI();
  for (int i = 0; i < g.NControls(); ++i) {
    const IControl* c = g.GetControl(i);
    const plugkit::IParam* p = c->GetParam();
    if (p && p->Type() == plugkit::ParamType::Double && !c->IsHidden()) return c;
  }
  return nullptr;
}

LPARAM At(float x, float y) { return MAKELPARAM(static_cast<int>(x), static_cast<int>(y)); }

// The active plug-in's editor open in a host's window, its first frames drawn.
class TarvexEditorWindow : public ::testing::Test {
protected:
  void SetUp() override {
    plugin.Activate();
    window = static_cast<HWND>(plugin.OpenEditor(parent.Get()));
    ASSERT_NE(window, nullptr);
    PumpMessages(200);
  }

  const TestParentWindow parent{kHostWidth, kHostHeight};
  WindowTarvex plugin;
  HWND window = nullptr;
};

TEST_F(TarvexEditorWindow, OpensInAParentAndAClickAndADragEditTheHostBracketed) {
  EXPECT_EQ(GetParent(window), parent.Get());
  const SIZE client = ClientSize(window);
  EXPECT_EQ(client.cx, kEditorWidth);
  EXPECT_EQ(client.cy, kEditorHeight);
  EXPECT_GT(plugin.UI().NControls(), 100);

  const IControl* bypass = ControlOf(plugin.UI(), kParamBypass);
  ASSERT_NE(bypass, nullptr);
  const IRect b = bypass->GetRECT();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(b.MW(), b.MH()));
  SendMessageW(window, WM_LBUTTONUP, 0, At(b.MW(), b.MH()));
  EXPECT_EQ(plugin.valuesSent[kParamBypass], 1);

  const IControl* knob = FirstKnob(plugin);
  ASSERT_NE(knob, nullptr);
  const int knobParam = knob->GetParamIdx();
  const IRect k = knob->GetRECT();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(k.MW(), k.T + 20.f));
  for (int dy = 5; dy <= 40; dy += 5)
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(k.MW(), k.T + 20.f - dy));
  SendMessageW(window, WM_LBUTTONUP, 0, At(k.MW(), k.T - 20.f));
  EXPECT_GT(plugin.valuesSent[knobParam], 1);

  EXPECT_FALSE(plugin.valueOutsideEdit);
  EXPECT_FALSE(plugin.endWithoutBegin);
  EXPECT_EQ(plugin.OpenEdits(), 0);
  plugin.CloseEditor();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(TarvexEditorWindow, AHeldKeyOverBypassArmsItOnceAndOnlyASecondPressConfirms) {
  plugin.Process(512, [](long i) { return 0.5f * std::sin(0.05f * static_cast<float>(i)); });
  const IControl* bypass = ControlOf(plugin.UI(), kParamBypass);
  ASSERT_NE(bypass, nullptr);
  POINT over{static_cast<LONG>(bypass->GetRECT().MW()), static_cast<LONG>(bypass->GetRECT().MH())};
  ClientToScreen(window, &over);
  SetCursorPos(over.x, over.y);
  constexpr LPARAM kPress = 1, kRepeat = 0x40000001;
  for (const LPARAM lParam : {kPress, kRepeat, kRepeat, kRepeat})
    SendMessageW(window, WM_KEYDOWN, VK_RETURN, lParam);
  EXPECT_EQ(plugin.valuesSent[kParamBypass], 0) << "armed, never confirmed by the repeats";
  SendMessageW(window, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
  SendMessageW(window, WM_KEYDOWN, VK_RETURN, kPress);
  EXPECT_EQ(plugin.valuesSent[kParamBypass], 1);
  plugin.CloseEditor();
}

TEST_F(TarvexEditorWindow, APressOnAValueBoxThatMovesOpensTheEntryAndKeepsTheValue) {
  const IControl* mix = ControlOf(plugin.UI(), kParamMix);
  ASSERT_NE(mix, nullptr);
  const IRect k = mix->GetRECT();
  const float boxX = k.MW(), boxY = k.B - 16.f;
  const auto pressOnTheBoxMoveAndEscape = [&] {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(boxX, boxY));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(boxX + 1.f, boxY));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(boxX + 1.f, boxY + 8.f));
    SendMessageW(window, WM_LBUTTONUP, 0, At(boxX + 1.f, boxY + 8.f));
    EXPECT_NE(plugin.UI().GetControlInTextEntry(), nullptr) << "the entry opens";
    SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(plugin.UI().GetControlInTextEntry(), nullptr);
  };

  pressOnTheBoxMoveAndEscape();
  EXPECT_DOUBLE_EQ(plugin.GetParam(kParamMix)->Value(), 100.0);
  EXPECT_EQ(plugin.valuesSent[kParamMix], 0);

  // A drag of the knob, then its default back by a double click: the drag
  // leaves its end behind in the knob.
  const float bodyY = k.T + 40.f;
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(boxX, bodyY));
  for (int dy = 5; dy <= 30; dy += 5)
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(boxX, bodyY + static_cast<float>(dy)));
  SendMessageW(window, WM_LBUTTONUP, 0, At(boxX, bodyY + 30.f));
  EXPECT_LT(plugin.GetParam(kParamMix)->Value(), 100.0);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(boxX, bodyY));
  SendMessageW(window, WM_LBUTTONUP, 0, At(boxX, bodyY));
  SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, At(boxX, bodyY));
  SendMessageW(window, WM_LBUTTONUP, 0, At(boxX, bodyY));
  ASSERT_DOUBLE_EQ(plugin.GetParam(kParamMix)->Value(), 100.0);
  const int sent = plugin.valuesSent[kParamMix];

  pressOnTheBoxMoveAndEscape();
  EXPECT_DOUBLE_EQ(plugin.GetParam(kParamMix)->Value(), 100.0);
  EXPECT_EQ(plugin.valuesSent[kParamMix], sent);
  EXPECT_FALSE(plugin.valueOutsideEdit);
  EXPECT_EQ(plugin.OpenEdits(), 0);
  plugin.CloseEditor();
}

TEST_F(TarvexEditorWindow, TheCornerGripFollowsThePointerInSteps) {
  const auto clientWidth = [&] {
    const SIZE client = ClientSize(window);
    return static_cast<int>(client.cx);
  };
  const int pressX = kEditorWidth - 10, pressY = kEditorHeight - 10;
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pressX, pressY));
  ASSERT_TRUE(plugin.UI().IsResizing());
  // 126 right and 84 down in steps of three and two pixels.
  int lastWidth = clientWidth();
  for (int step = 1; step <= 42; ++step) {
    const int px = pressX + 3 * step, py = pressY + 2 * step;
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(px, py));
    const int width = clientWidth();
    EXPECT_GE(width, lastWidth) << "step " << step;
    EXPECT_GT(width, px) << "the grip stays under the pointer, step " << step;
    EXPECT_LE(width, px + 20) << "step " << step;
    lastWidth = width;
  }
  const float expected = std::min(static_cast<float>(pressX + 126) / static_cast<float>(pressX),
                                  static_cast<float>(pressY + 84) / static_cast<float>(pressY));
  EXPECT_NEAR(plugin.UI().GetDrawScale(), expected, 1e-3);
  EXPECT_NEAR(clientWidth(), kEditorWidth * expected, 1.0);
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(pressX + 126, pressY + 84));
  EXPECT_FALSE(plugin.UI().IsResizing());
  plugin.CloseEditor();
}

} // namespace
} // namespace tarvex::testing
