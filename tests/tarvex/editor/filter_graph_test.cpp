#include <gtest/gtest.h>

#include "tarvex/editor/button.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/filter_graph.h"
#include "tests/tarvex/editor/editor_rig.h"

#include <cmath>
#include <functional>
#include <memory>
#include <utility>

namespace tarvex {
namespace {

using testing::ControlsOf;
using testing::EditorGraphics;
using testing::EditorTarvex;
using testing::IMouseMod;

FilterGraph& GraphOf(EditorGraphics& g) { return *ControlsOf<FilterGraph>(g).front(); }

int Count(const std::string& text, const EditorGraphics& g) {
  int n = 0;
  for (const std::string& t : g.Texts()) n += t == text;
  return n;
}

TEST(EditorFilterGraph, AxesFollowTheSampleRateAndClampFrequenciesAndCuts) {
  EditorTarvex plug;
  plug.Activate(22050.0);
  auto& g = plug.Open();
  plug.Process(512, [](long) { return 0.0; });
  g.Frame();
  FilterGraph& graph = GraphOf(g);
  EXPECT_DOUBLE_EQ(graph.TopFrequency(), 10804.5);
  EXPECT_TRUE(g.Drew("10.8 kHz"));
  EXPECT_NEAR(graph.FreqToX(10000.0), 66 + 768 * std::log(500.0) / std::log(10804.5 / 20), 1e-3);
  struct Edge {
    double in;
    float x;
  };
  for (const Edge& e : {Edge{10.0, 66.f}, Edge{NAN, 66.f}, Edge{1e9, 834.f}, Edge{-5.0, 66.f}})
    EXPECT_FLOAT_EQ(graph.FreqToX(e.in), e.x) << e.in;
  for (const Edge& e : {Edge{40.0, 346.f}, Edge{-3.0, 285.f}, Edge{NAN, 285.f}, Edge{18.0, 315.5f}})
    EXPECT_FLOAT_EQ(FilterGraph::DepthToY(e.in), e.x) << e.in;

  plug.Activate(48000.0);
  plug.Process(512, [](long) { return 0.0; });
  g.Frame();
  EXPECT_DOUBLE_EQ(GraphOf(g).TopFrequency(), 20000.0);
  EXPECT_TRUE(g.Drew("20.0 kHz"));
  EXPECT_TRUE(g.Drew("CAUSAL NOTCH FILTERS / ZERO PDC / 48.0 kHz"));
}

// The box the last drawn text covers, as the back end measures it.
testing::IRect DrawnBox(const EditorGraphics& g, const std::string& text) {
  testing::IRect box;
  for (const auto& call : g.CallsNamed({"DoDrawText"}))
    if (call.text == text) {
      box = call.rect;
      g.MeasureText(call.style, text.c_str(), box);
    }
  return box;
}

TEST(EditorFilterGraph, GridLabelsNearTheTopFrequencyGiveWayToItsLabel) {
  struct Rate {
    double fs;
    const char* top;
    bool tenK;
  };
  const Rate rates[] = {{22050.0, "10.8 kHz", false}, {24000.0, "11.8 kHz", false},
                        {28000.0, "13.7 kHz", false}, {36000.0, "17.6 kHz", true},
                        {44100.0, "20.0 kHz", true},  {96000.0, "20.0 kHz", true}};
  EditorTarvex plug;
  auto& g = plug.Open();
  for (const Rate& r : rates) {
    SCOPED_TRACE(r.fs);
    plug.Activate(r.fs);
    plug.Process(512, [](long) { return 0.0; });
    g.Frame();
    EXPECT_TRUE(g.Drew(r.top));
    EXPECT_TRUE(g.Drew("100"));
    EXPECT_TRUE(g.Drew("1 kHz"));
    EXPECT_EQ(g.Drew("10k"), r.tenK);
    if (r.tenK) {
      EXPECT_LT(DrawnBox(g, "10k").R, DrawnBox(g, r.top).L);
    }
  }
}

TEST(EditorFilterGraph, ManualHandleIsPickedDraggedWheeledAndResetInsideOneEditEach) {
  EditorTarvex plug;
  auto& g = plug.Open();
  const int slot = 2;
  const int freq = SlotParamIndex(slot, kSlotFrequency), depth = SlotParamIndex(slot, kSlotDepth),
            q = SlotParamIndex(slot, kSlotQ);
  plug.SetPlain(SlotParamIndex(slot, kSlotEnabled), 1.0);
  plug.SetPlain(freq, 1000.0);
  plug.SetPlain(depth, 12.0);
  g.Frame();
  FilterGraph& graph = GraphOf(g);
  const float hx = graph.FreqToX(1000.0), hy = FilterGraph::DepthToY(12.0);

  // Outside the response area and far from the handle nothing happens.
  g.Click(hx, 200);
  g.Click(hx + 25, hy);
  EXPECT_EQ(plug.valuesSent, 0);
  g.Frame();
  EXPECT_TRUE(g.Drew("MANUAL SLOT 01"));

  // A drag of 768 units with Shift multiplies by (top / 20) ^ 0.1 and cuts
  // 0.1 x 36 dB per 61 units down; the gesture stays open until mouse-up.
  IMouseMod shift;
  shift.S = true;
  g.Drag(hx + 3, hy, hx + 3 + 768, hy + 61, shift);
  EXPECT_NEAR(plug.Plain(freq), 1000.0 * std::pow(1000.0, 0.1), 0.05);
  EXPECT_NEAR(plug.Plain(depth), 12.0 + 3.6, 1e-3);
  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_EQ(plug.OpenEdits(), 0);
  EXPECT_FALSE(GraphOf(g).Dragging());
  g.Frame();
  EXPECT_TRUE(g.Drew("MANUAL SLOT 03"));
  EXPECT_TRUE(g.Drew("MANUAL FREQUENCY / CUT"));

  // Dragging past the ends stays in range.
  const float nx = graph.FreqToX(plug.Plain(freq)), ny = FilterGraph::DepthToY(plug.Plain(depth));
  g.Drag(nx, ny, nx + 5000, ny + 5000);
  EXPECT_NEAR(plug.Plain(freq), 20000.0, 1e-6);
  EXPECT_DOUBLE_EQ(plug.Plain(depth), 36.0);

  const double q0 = plug.Plain(q);
  g.OnMouseWheel(400, 200, IMouseMod(), 1.f);
  EXPECT_NEAR(plug.Plain(q), q0 * 1.12, 1e-4);
  g.OnMouseWheel(400, 200, shift, -1.f);
  EXPECT_NEAR(plug.Plain(q), q0 * 1.12 / std::pow(1.12, 0.1), 1e-4);

  // Double clicks away from the handle change nothing; on it they reset.
  plug.SetPlain(freq, 1000.0);
  plug.SetPlain(depth, 12.0);
  const int sent = plug.valuesSent;
  g.OnMouseDblClick(hx, 200, IMouseMod());
  g.OnMouseDblClick(hx + 15, hy, IMouseMod());
  EXPECT_EQ(plug.valuesSent, sent);
  g.OnMouseDblClick(hx + 9, hy + 9, IMouseMod());
  for (int p : {freq, depth, q}) EXPECT_DOUBLE_EQ(plug.Plain(p), ParamSpecAt(p).defaultValue);
  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_FALSE(plug.endWithoutBegin);
  EXPECT_EQ(plug.OpenEdits(), 0);
  g.Frame();
  EXPECT_TRUE(g.Drew("RESET SELECTED MANUAL FILTER"));
}

TEST(EditorFilterGraph, ClosingTheEditorOrTheInstanceMidDragEndsTheOpenEdits) {
  for (bool destroyInstance : {false, true}) {
    auto plug = std::make_unique<EditorTarvex>();
    auto& g = plug->Open();
    plug->SetPlain(SlotParamIndex(0, kSlotEnabled), 1.0);
    const float x = GraphOf(g).FreqToX(plug->Plain(SlotParamIndex(0, kSlotFrequency)));
    const float y = FilterGraph::DepthToY(plug->Plain(SlotParamIndex(0, kSlotDepth)));
    testing::IMouseInfo down;
    down.x = x;
    down.y = y;
    down.ms.L = true;
    g.OnMouseDown({down});
    ASSERT_TRUE(GraphOf(g).Dragging());
    if (destroyInstance) {
      plug.reset();
      continue;
    }
    plug->CloseEditor();
    EXPECT_EQ(plug->OpenEdits(), 0);
    EXPECT_FALSE(plug->endWithoutBegin);
  }
}

TEST(EditorFilterGraph, ADragThatLosesTheMouseEndsItsEditsWithoutAMouseUp) {
  struct Loss {
    const char* name;
    std::function<void(EditorTarvex&)> takeTheMouse;
  };
  const Loss losses[] = {
      {"host resize", [](EditorTarvex& p) { p.OnParentWindowResize(900, 610); }},
      {"popup menu",
       [](EditorTarvex& p) {
         testing::IPopupMenu menu;
         menu.AddItem("item");
         p.UI().CreatePopupMenu(GraphOf(p.UI()), menu, testing::IRect(0, 0, 10, 10));
       }},
  };
  for (const Loss& loss : losses) {
    SCOPED_TRACE(loss.name);
    EditorTarvex plug;
    auto& g = plug.Open();
    const int freq = SlotParamIndex(0, kSlotFrequency);
    plug.SetPlain(SlotParamIndex(0, kSlotEnabled), 1.0);
    testing::IMouseInfo p;
    p.x = GraphOf(g).FreqToX(plug.Plain(freq));
    p.y = FilterGraph::DepthToY(plug.Plain(SlotParamIndex(0, kSlotDepth)));
    p.ms.L = true;
    g.OnMouseDown({p});
    ASSERT_EQ(plug.OpenEdits(), 2);

    loss.takeTheMouse(plug);
    EXPECT_EQ(plug.OpenEdits(), 0);
    EXPECT_FALSE(GraphOf(g).Dragging());
    // The mouse moving on and coming up later changes nothing.
    const double before = plug.Plain(freq);
    p.x += 40.f;
    p.dX = 40.f;
    g.OnMouseDrag({p});
    GraphOf(g).OnMouseDrag(p.x, p.y, p.dX, 0.f, p.ms);
    g.OnMouseUp({p});
    EXPECT_EQ(plug.Plain(freq), before);
    EXPECT_EQ(plug.OpenEdits(), 0);
    EXPECT_FALSE(plug.endWithoutBegin);
    EXPECT_FALSE(plug.valueOutsideEdit);
  }
}

TEST(EditorFilterGraph, NearerOfTwoHandlesIsPickedAndWheelNeedsAnEnabledSlot) {
  EditorTarvex plug;
  auto& g = plug.Open();
  for (int s : {4, 9}) plug.SetPlain(SlotParamIndex(s, kSlotEnabled), 1.0);
  plug.SetPlain(SlotParamIndex(4, kSlotFrequency), 1000.0);
  plug.SetPlain(SlotParamIndex(9, kSlotFrequency), 1100.0);
  g.Frame();
  const float x4 = GraphOf(g).FreqToX(1000.0), x9 = GraphOf(g).FreqToX(1100.0);
  const float y = FilterGraph::DepthToY(ParamSpecAt(SlotParamIndex(4, kSlotDepth)).defaultValue);
  g.Click(x4 + 0.4f * (x9 - x4), y);
  g.Frame();
  EXPECT_TRUE(g.Drew("MANUAL SLOT 05"));
  g.Click(x4 + 0.6f * (x9 - x4), y);
  g.Frame();
  EXPECT_TRUE(g.Drew("MANUAL SLOT 10"));

  g.Click(50, 400); // tile 01: slot 0 is not enabled
  const int sent = plug.valuesSent;
  g.OnMouseWheel(400, 300, IMouseMod(), 3.f);
  EXPECT_EQ(plug.valuesSent, sent);
}

TEST(EditorFilterGraph, HandlesPinnedAtTheEdgeAreHitAndDraggedWhereTheyAreDrawn) {
  EditorTarvex plug;
  plug.Activate(22050.0);
  auto& g = plug.Open();
  plug.Process(512, [](long) { return 0.0; });
  // Slots 4 and 9 lie above the plot's top and at the deepest cut: both
  // handles sit on the bottom-right corner of the plot.
  for (auto [s, f] : {std::pair{4, 16000.0}, std::pair{9, 15000.0}}) {
    plug.SetPlain(SlotParamIndex(s, kSlotEnabled), 1.0);
    plug.SetPlain(SlotParamIndex(s, kSlotFrequency), f);
    plug.SetPlain(SlotParamIndex(s, kSlotDepth), 36.0);
  }
  g.Frame();
  ControlsOf<Button>(g)[0]->View().SelectSlot(9, g);
  FilterGraph& graph = GraphOf(g);
  const int freq9 = SlotParamIndex(9, kSlotFrequency);

  // Past the corner, on the handles' outer half; the selected slot wins.
  g.Drag(840, 350, 740, 350);
  EXPECT_NEAR(graph.FreqToX(plug.Plain(freq9)), 734.f, 0.01f) << "followed the pointer";
  EXPECT_DOUBLE_EQ(plug.Plain(SlotParamIndex(4, kSlotFrequency)), 16000.0);
  g.Drag(734, 346, 934, 346);
  EXPECT_NEAR(plug.Plain(freq9), graph.TopFrequency(), 0.01) << "no higher than drawn";
}

TEST(EditorFilterGraph, LiveAssistHowlIsShownAsALiveFilterAndLearnFixedFromTheLearnButton) {
  EditorTarvex plug;
  plug.Activate(48000.0);
  auto& g = plug.Open();
  plug.SetPlain(kParamMode, 2.0);
  const double f = 171.0 * 48000.0 / 8192.0;
  const auto howl = testing::GrowingSine(-40.0, 3.0, f, 48000.0);
  plug.Process(32238, howl);
  g.Frame();
  char candidate[64];
  std::snprintf(candidate, sizeof candidate, "CANDIDATE %.0f Hz / ", f);
  bool shown = false;
  for (const std::string& t : g.Texts()) shown |= t.rfind(candidate, 0) == 0;
  EXPECT_TRUE(shown) << "read-out shows the candidate";
  EXPECT_EQ(g.Named("FillCircle").size(), 24u) << "tile dots only, no graph marks yet";

  plug.Process(10 * 512, howl);
  g.Frame();
  const EngineSnapshot snapshot = plug.Snapshot();
  ASSERT_EQ(snapshot.slotKind[0], kSlotLive);
  FilterGraph& graph = GraphOf(g);
  const float markX = graph.FreqToX(snapshot.slotFrequency[0]);
  EXPECT_NEAR(markX, graph.FreqToX(f), 1.0);
  bool mark = false;
  for (const auto& d : g.Named("FillCircle"))
    mark |= d.color == kColorBlue && std::abs(d.rect.L - markX) < 0.01f && d.args[0] == 4.5f;
  EXPECT_TRUE(mark) << "selected slot 0 carries a large blue mark";
  EXPECT_TRUE(g.Drew("LIVE"));
  EXPECT_TRUE(g.Drew("SLOT 01 / LIVE / L+R"));
  EXPECT_TRUE(g.Drew("0 MANUAL / 0 FIXED / 1 LIVE"));
  // The left channel's response line reaches its deepest point at the howl.
  float deepestY = 0.f, deepestX = 0.f;
  for (const auto& d : g.Named("DrawLine"))
    if (d.color == kColorAmber && d.args[0] == 1.4f && d.rect.B > deepestY) {
      deepestY = d.rect.B;
      deepestX = d.rect.R;
    }
  EXPECT_GT(deepestY, FilterGraph::DepthToY(6.0));
  EXPECT_NEAR(deepestX, markX, 2.0);
  EXPECT_TRUE(g.Drew("CLEAR LIVE"));
  EXPECT_FALSE(ControlsOf<Button>(g)[5]->IsDisabled()) << "CLEAR LIVE enabled";

  // Learn Fixed: LEARN is enabled only in that mode; its click queues the
  // start and a steady tone becomes a Fixed filter shown in tile and graph.
  plug.SetPlain(kParamMode, 1.0);
  g.Frame();
  g.Click(560, 120);
  ASSERT_EQ(plug.commands.size(), 1u);
  EXPECT_EQ(plug.commands[0].bits, unsigned(kCommandStartLearning));
  plug.Process(48000,
               [](long n) { return 0.1 * std::sin(2 * 3.14159265358979 * 3000.0 * n / 48000.0); });
  g.Frame();
  const EngineSnapshot learned = plug.Snapshot();
  int fixedSlot = -1;
  for (int s = 0; s < kSlotCount; ++s)
    if (learned.slotKind[s] == kSlotFixed) fixedSlot = s;
  ASSERT_GE(fixedSlot, 0);
  EXPECT_NEAR(learned.slotFrequency[fixedSlot], 3000.0, 1.0);
  EXPECT_TRUE(g.Drew("FIXED"));
  EXPECT_TRUE(g.Drew("3.0k"));
  EXPECT_TRUE(g.Drew("LEARNING / ACTIVE FILTER HISTORY"));
  bool fixedMark = false;
  for (const auto& d : g.Named("FillCircle"))
    fixedMark |= d.color == kColorTeal && std::abs(d.rect.L - graph.FreqToX(3000.0)) < 1.0f;
  EXPECT_TRUE(fixedMark);

  // A click on the learned mark selects its slot read-only.
  g.Click(graph.FreqToX(learned.slotFrequency[fixedSlot]),
          FilterGraph::DepthToY(learned.slotDepth[fixedSlot]));
  EXPECT_FALSE(graph.Dragging());
  g.Frame();
  EXPECT_TRUE(g.Drew("LEARNED FILTER / READ ONLY"));
  char readOut[32];
  std::snprintf(readOut, sizeof readOut, "SLOT %02d / FIXED / L+R", fixedSlot + 1);
  EXPECT_TRUE(g.Drew(readOut));
  EXPECT_EQ(Count("FIXED", g), 1) << "its tile";
}

TEST(EditorFilterGraph, AnalyzerOffReadsFftOffWhileAudioPlays) {
  EditorTarvex plug;
  plug.Activate(48000.0);
  auto& g = plug.Open();
  plug.Process(20000, [](long n) { return 0.2 * std::sin(0.05 * n); });
  g.Frame();
  ASSERT_TRUE(plug.Snapshot().signal);
  EXPECT_FALSE(g.Drew("WAITING FOR REAL SIGNAL"));
  EXPECT_FALSE(g.Drew("START PLAYBACK FOR LIVE RESPONSE"));
  plug.SetPlain(kParamAnalyzer, 0.0);
  g.Frame();
  EXPECT_TRUE(g.Drew("FFT OFF"));
  EXPECT_FALSE(g.Drew("START PLAYBACK FOR LIVE RESPONSE"));
}

} // namespace
} // namespace tarvex
