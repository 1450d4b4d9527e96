#include "framework/graphics/iknob_control_base.h"
#include "framework/graphics/text_entry_control.h"
#include "tests/support/graphics/null_graphics.h"
#include "tests/support/graphics/test_delegate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace plugkit::igraphics {
namespace {

using testing::NullGraphics;
using testing::TestDelegate;

IMouseInfo At(float x, float y, bool right = false, float dX = 0.f, float dY = 0.f) {
  IMouseInfo p;
  p.x = x;
  p.y = y;
  p.dX = dX;
  p.dY = dY;
  p.ms.L = !right;
  p.ms.R = right;
  return p;
}

// Notes every event it receives.
class Recorder : public IControl {
public:
  Recorder(const IRect& r, int paramIdx, std::vector<std::string>& log, const char* name)
      : IControl(r, paramIdx), log_(log), name_(name) {}
  void OnMouseDown(float, float, const IMouseMod&) override { Note("down"); }
  void OnMouseUp(float, float, const IMouseMod&) override { Note("up"); }
  void OnMouseDrag(float, float, float, float, const IMouseMod&) override { Note("drag"); }
  void OnMouseDblClick(float, float, const IMouseMod&) override { Note("dbl"); }
  void OnMouseWheel(float, float, const IMouseMod&, float) override { Note("wheel"); }
  bool OnKeyDown(float, float, const IKeyPress&) override {
    Note("key");
    return true;
  }
  void OnMouseOver(float x, float y, const IMouseMod& mod) override {
    if (!GetMouseIsOver()) Note("over");
    IControl::OnMouseOver(x, y, mod);
  }
  void OnMouseOut() override {
    if (GetMouseIsOver()) Note("out");
    IControl::OnMouseOut();
  }
  void OnDrop(const char* path) override { Note(std::string("drop ") + path); }
  void CreateContextMenu(IPopupMenu&) override { Note("context"); }
  void Draw(IGraphics&) override {}

private:
  void Note(const std::string& what) { log_.push_back(name_ + " " + what); }
  std::vector<std::string>& log_;
  std::string name_;
};

struct Editor {
  TestDelegate delegate{4};
  NullGraphics g{delegate, 200, 100};
  std::vector<std::string> log;

  Recorder* Add(const IRect& r, int paramIdx, const char* name) {
    auto* c = new Recorder(r, paramIdx, log, name);
    g.AttachControl(c);
    return c;
  }
};

TEST(InputDispatch, ClicksCaptureAndBracketEdits) {
  Editor e;
  e.Add({0, 0, 200, 100}, -1, "bg");
  e.Add({10, 10, 50, 50}, 2, "knob");
  e.g.OnMouseDown({At(20, 20)});
  e.g.OnMouseDrag({At(150, 90, false, 0, 0)}); // no movement: not delivered
  e.g.OnMouseDrag({At(150, 90, false, 3, 0)}); // outside, still captured
  e.g.OnMouseUp({At(150, 90)});
  e.g.OnMouseDrag({At(20, 20, false, 1, 1)}); // nothing captured any more
  EXPECT_EQ(e.log, (std::vector<std::string>{"knob down", "knob drag", "knob up"}));
  EXPECT_EQ(e.delegate.begun, std::vector<int>{2});
  EXPECT_EQ(e.delegate.ended, std::vector<int>{2});
}

TEST(InputDispatch, RightClickOnABoundControlAsksForTheContextMenu) {
  Editor e;
  e.Add({0, 0, 100, 100}, -1, "plain");
  e.Add({100, 0, 200, 100}, 1, "bound");
  e.g.OnMouseDown({At(150, 50, true)});
  e.g.OnMouseDown({At(50, 50, true)});
  EXPECT_EQ(e.log, (std::vector<std::string>{"bound context", "plain down"}));
  EXPECT_TRUE(e.delegate.begun.empty());
  EXPECT_FALSE(e.g.ControlIsCaptured(e.g.GetControl(1)));
}

TEST(InputDispatch, WhoGetsWhichEvent) {
  Editor e;
  e.g.EnableMouseOver(true);
  e.Add({0, 0, 200, 100}, -1, "bg");
  auto* top = e.Add({0, 0, 50, 50}, -1, "top");
  auto* off = e.Add({0, 0, 50, 50}, -1, "off");
  off->SetDisabled(true);
  const IMouseMod none;
  IKeyPress key;
  key.VK = 65;

  struct Case {
    std::function<void()> event;
    std::vector<std::string> log;
  } cases[] = {
      {[&] {
         e.g.OnMouseDown({At(10, 10)});
         e.g.OnMouseUp({At(10, 10)});
       },
       {"top down", "top up", "top over"}},
      {[&] {
         e.g.OnMouseDown({At(100, 80)});
         e.g.OnMouseUp({At(100, 80)});
       },
       {"bg down", "bg up", "top out"}},
      {[&] { EXPECT_FALSE(e.g.OnKeyDown(100, 80, key)); }, {}},
      {[&] { EXPECT_TRUE(e.g.OnKeyDown(10, 10, key)); }, {"top key"}},
      {[&] { EXPECT_FALSE(e.g.OnMouseOver(100, 80, none)); }, {}},
      {[&] { EXPECT_TRUE(e.g.OnMouseWheel(10, 10, none, 1.f)); }, {"top wheel"}},
      {[&] { EXPECT_TRUE(e.g.OnMouseDblClick(10, 10, none)); }, {"top dbl"}},
      {[&] { e.g.OnDrop("a.txt", 10, 10); }, {"top drop a.txt"}},
      {[&] {
         e.g.OnDropMultiple({"b.txt", "c.txt"}, 100, 80);
       },
       {"bg drop b.txt"}},
      {[&] {
         off->SetMouseEventsWhenDisabled(true);
         e.g.OnMouseWheel(10, 10, none, 1.f);
       },
       {"off wheel"}},
      {[&] { EXPECT_TRUE(e.g.OnMouseOver(10, 10, none)); }, {"top over"}},
      {[&] { e.g.OnMouseOut(); }, {"top out"}},
  };
  for (Case& c : cases) {
    e.log.clear();
    c.event();
    EXPECT_EQ(e.log, c.log);
  }
  EXPECT_FALSE(e.g.ControlIsCaptured(top));
  e.g.EnableMouseOver(false);
  EXPECT_FALSE(e.g.OnMouseOver(10, 10, none));
}

TEST(InputDispatch, CornerResizerScalesAndResets) {
  Editor e;
  e.g.SetUIScaleLimits(0.5f, 1.5f);
  e.Add({0, 0, 200, 100}, -1, "bg");
  e.g.AttachCornerResizer(EUIResizerMode::Scale, false);
  e.g.AttachCornerResizer(EUIResizerMode::Size, true); // the first one stays
  IControl* grip = e.g.GetCornerResizer();
  ASSERT_NE(grip, nullptr);
  EXPECT_EQ(grip->GetRECT(), IRect(180, 80, 200, 100));
  EXPECT_EQ(e.g.GetMouseControl(190, 90, false), grip);

  e.g.OnMouseDown({At(190, 90)});
  EXPECT_TRUE(e.g.IsResizing());
  e.g.OnMouseDrag({At(285, 135, false, 95, 45)});
  EXPECT_FLOAT_EQ(e.g.GetDrawScale(), 1.5f);
  // Back to (228, 108) in window pixels, which at scale 1.5 is (152, 72).
  e.g.OnMouseDrag({At(152, 72, false, -38, -18)});
  EXPECT_FLOAT_EQ(e.g.GetDrawScale(), 1.2f);
  EXPECT_EQ(e.g.Width(), 200);
  e.g.OnMouseUp({At(190, 90)});
  EXPECT_FALSE(e.g.IsResizing());
  EXPECT_EQ(e.log, std::vector<std::string>{});
  // The grip keeps its size in pixels of draw scale 1.
  EXPECT_NEAR(grip->GetRECT().W(), 20.f / 1.2f, 1e-4);

  e.g.Resize(300, 150, 1.4f, false);
  const IRect r = grip->GetRECT();
  e.g.OnMouseDblClick(r.MW(), r.MH(), IMouseMod());
  EXPECT_EQ(e.g.Width(), 200);
  EXPECT_EQ(e.g.Height(), 100);
  EXPECT_FLOAT_EQ(e.g.GetDrawScale(), 1.f);
}

TEST(InputDispatch, ScaleDragKeepsTheGripUnderThePointer) {
  for (const float screen : {1.f, 1.5f}) {
    TestDelegate delegate(1);
    NullGraphics g(delegate, 1180, 800);
    g.SetScreenScale(screen);
    g.SetUIScaleLimits(0.85f, 1.5f);
    g.AttachCornerResizer(EUIResizerMode::Scale, false);
    // Window pixels reach the editor divided by the scale of the moment,
    // as the platform sends them.
    auto at = [&](int px, int py) {
      return At(static_cast<float>(px) / g.GetTotalScale(),
                static_cast<float>(py) / g.GetTotalScale());
    };
    const int pressX = static_cast<int>(1170 * screen), pressY = static_cast<int>(790 * screen);
    g.OnMouseDown({at(pressX, pressY)});
    g.OnMouseDrag({at(pressX + 126, pressY + 84)});
    const float expected = std::min(static_cast<float>(pressX + 126) / pressX,
                                    static_cast<float>(pressY + 84) / pressY);
    EXPECT_NEAR(g.GetDrawScale(), expected, 1e-4) << screen;
    EXPECT_NEAR(g.WindowWidth(), 1180 * expected, 1.0) << screen;
    // Creeping on outward a few pixels at a time, along the editor's aspect.
    int lastWidth = g.WindowWidth();
    for (int step = 1; step <= 40; ++step) {
      const int px = pressX + 126 + 3 * step, py = pressY + 84 + 2 * step;
      g.OnMouseDrag({at(px, py)});
      EXPECT_GE(g.WindowWidth(), lastWidth) << "step " << step;
      lastWidth = g.WindowWidth();
      EXPECT_TRUE(g.GetCornerResizer()->IsHit(at(px, py).x, at(px, py).y)) << step;
    }
    // The scale follows the pointer alone: back at the press, back at 1.
    g.OnMouseDrag({at(pressX + 40, pressY + 30)});
    g.OnMouseDrag({at(pressX, pressY)});
    EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.f) << screen;
    g.OnMouseUp({at(pressX, pressY)});
  }
}

// A delegate that checks every edit the editor makes: begin, perform and end
// in that order for each parameter, never nested, and values within 0..1.
class BracketCheckingDelegate : public TestDelegate {
public:
  BracketCheckingDelegate() : TestDelegate(4) {}
  void BeginParamEditFromUI(int p) override {
    EXPECT_EQ(open[p], 0) << "nested begin of " << p;
    ++open[p];
    ++begins;
  }
  void SetParamValueFromUI(int p, double v) override {
    EXPECT_EQ(open[p], 1) << "perform outside an edit of " << p;
    EXPECT_TRUE(v >= 0.0 && v <= 1.0) << v;
    ++performs;
    TestDelegate::SetParamValueFromUI(p, v);
  }
  void EndParamEditFromUI(int p) override {
    EXPECT_EQ(open[p], 1) << "end without begin of " << p;
    --open[p];
  }
  std::map<int, int> open;
  int begins = 0;
  int performs = 0;
};

class Knob : public IKnobControlBase {
public:
  Knob(const IRect& r, int paramIdx) : IKnobControlBase(r, paramIdx) {}
  IRect GetDragBounds() const override { return GetRECT(); }
  bool OnKeyDown(float, float, const IKeyPress& key) override {
    if (key.VK != 38 && key.VK != 40) return false;
    SetValueFromUserInput(GetValue() + (key.VK == 38 ? 0.05 : -0.05));
    return true;
  }
  void Draw(IGraphics&) override {}
};

// A knob whose upper half opens a text entry on a press instead of
// starting a drag, as a value box does.
class EntryKnob : public Knob {
public:
  using Knob::Knob;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override {
    if (y >= 50) return Knob::OnMouseDown(x, y, mod);
    GetUI()->CreateTextEntry(*this, GetText(), IRect(10, 10, 90, 50), "100", -1);
  }
};

TEST(InputDispatch, WhileATextEntryIsOpenOnlyItGetsDrags) {
  Editor e;
  e.g.AttachTextEntryControl();
  auto* knob = new EntryKnob({10, 10, 90, 90}, 1);
  e.g.AttachControl(knob);
  knob->SetValue(0.5, 0);
  e.g.OnMouseDown({At(50, 70)});
  e.g.OnMouseDrag({At(50, 80, false, 0, 10)}); // an earlier drag: its end stays behind
  e.g.OnMouseUp({At(50, 80)});
  e.delegate.GetParam(1)->SetNormalized(1.0);
  knob->SetValueFromDelegate(1.0, 0);
  e.delegate.sent.clear();

  e.g.OnMouseDown({At(50, 30)});
  ASSERT_EQ(e.g.GetControlInTextEntry(), knob);
  e.g.OnMouseDrag({At(51, 30, false, 1, 0)});
  e.g.OnMouseDrag({At(51, 60, false, 0, 30)});
  e.g.OnMouseUp({At(51, 60)});
  ITextEntryControl& entry = *e.g.GetTextEntryControl();
  EXPECT_EQ(entry.SelectionEnd() - entry.SelectionStart(), 3) << "still all selected";
  // Inside the open entry a drag selects: from the end to before the text.
  e.g.OnMouseDown({At(80, 30)});
  EXPECT_EQ(entry.SelectionEnd(), entry.SelectionStart());
  e.g.OnMouseDrag({At(20, 30, false, -60, 0)});
  EXPECT_EQ(entry.SelectionEnd() - entry.SelectionStart(), 3);
  e.g.OnMouseUp({At(20, 30)});
  IKeyPress escape;
  escape.VK = 27;
  e.g.OnKeyDown(0, 0, escape);

  // Closed while the button is held, the entry leaves the knob captured
  // without a drag start of this press.
  e.g.OnMouseDown({At(50, 30)});
  e.g.OnKeyDown(0, 0, escape);
  e.g.OnMouseDrag({At(50, 31, false, 0, 1)});
  e.g.OnMouseUp({At(50, 31)});
  EXPECT_EQ(knob->GetValue(), 1.0);
  EXPECT_TRUE(e.delegate.sent.empty());
}

// Opens a menu of its parameter's choices on a click or on Enter.
class Menu : public IControl {
public:
  Menu(const IRect& r, int paramIdx) : IControl(r, paramIdx) {
    SetPromptDisabled(false);
    for (const char* item : {"a", "b", "c"}) menu_.AddItem(item);
  }
  void OnMouseDown(float, float, const IMouseMod&) override { Open(); }
  bool OnKeyDown(float, float, const IKeyPress& key) override {
    if (key.VK == 13) Open();
    return key.VK == 13;
  }
  void Draw(IGraphics&) override {}

private:
  void Open() { GetUI()->CreatePopupMenu(*this, menu_, GetRECT()); }
  IPopupMenu menu_;
};

// A platform whose menus pick a random item or none.
class RandomMenuGraphics : public NullGraphics {
public:
  RandomMenuGraphics(IGEditorDelegate& d, std::mt19937& rng)
      : NullGraphics(d, 300, 100), rng_(rng) {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect&) override {
    const int pick = static_cast<int>(rng_() % 4) - 1;
    menu.SetChosenItemIdx(pick);
    return pick >= 0 ? &menu : nullptr;
  }

private:
  std::mt19937& rng_;
};

TEST(InputDispatch, EveryEditIsBracketedUnderRandomInput) {
  std::mt19937 rng(99);
  BracketCheckingDelegate delegate;
  delegate.GetParam(3)->ConfigureInt("choice", 0, 0, 2);
  {
    RandomMenuGraphics g(delegate, rng);
    g.AttachControl(new Knob({0, 0, 300, 100}, -1));
    g.AttachControl(new Knob({0, 0, 100, 50}, 0));
    g.AttachControl(new Knob({50, 0, 150, 100}, 1));
    g.AttachControl(new Knob({100, 50, 200, 100}, 0));
    g.AttachControl(new Menu({200, 0, 300, 100}, 3));
    g.AttachCornerResizer();
    auto uniform = [&](float lo, float hi) {
      return std::uniform_real_distribution<float>(lo, hi)(rng);
    };
    for (int i = 0; i < 20000; ++i) {
      const float x = uniform(-10, 310), y = uniform(-10, 110);
      IMouseInfo p = At(x, y, rng() % 5 == 0, uniform(-20, 20), uniform(-20, 20));
      p.ms.S = rng() % 3 == 0;
      IKeyPress key;
      key.VK = std::vector<int>{13, 38, 40, 65}[rng() % 4];
      switch (rng() % 9) {
        case 0:
          g.OnMouseDown({p});
          break;
        case 1:
        case 2:
          g.OnMouseDrag({p});
          break;
        case 3:
          g.OnMouseUp({p});
          break;
        case 4:
          g.OnMouseDblClick(x, y, p.ms);
          break;
        case 5:
          g.OnMouseWheel(x, y, p.ms, uniform(-3, 3));
          break;
        case 6:
          g.OnKeyDown(x, y, key);
          break;
        case 7:
          g.OnMouseOver(x, y, p.ms);
          break;
        case 8:
          if (rng() % 50 == 0) g.Resize(300, 100, uniform(0.5f, 2.f), false);
          break;
      }
    }
    g.OnMouseUp({At(0, 0)});
    for (int c = 0; c < g.NControls(); ++c)
      for (int v = 0; v < g.GetControl(c)->NVals(); ++v)
        EXPECT_TRUE(g.GetControl(c)->GetValue(v) >= 0.0 && g.GetControl(c)->GetValue(v) <= 1.0);
  }
  for (const auto& entry : delegate.open)
    EXPECT_EQ(entry.second, 0) << "edit of " << entry.first << " left open";
  EXPECT_GT(delegate.begins, 1000);
  EXPECT_GT(delegate.performs, 1000);
}

// A control without a parameter that brackets an edit of its own from the
// mouse-down until it is deleted, as a graph dragging a parameter does.
class SelfEditing : public IControl {
public:
  SelfEditing(const IRect& r, IGEditorDelegate& d, int paramIdx)
      : IControl(r), delegate_(d), paramIdx_(paramIdx) {}
  ~SelfEditing() override {
    if (editing_) delegate_.EndParamEditFromUI(paramIdx_);
  }
  void OnMouseDown(float, float, const IMouseMod&) override {
    delegate_.BeginParamEditFromUI(paramIdx_);
    editing_ = true;
  }
  void Draw(IGraphics&) override {}

private:
  IGEditorDelegate& delegate_;
  int paramIdx_;
  bool editing_ = false;
};

TEST(InputDispatch, ClosingWhileHeldEndsTheEditsTheMouseBegan) {
  BracketCheckingDelegate delegate;
  {
    NullGraphics g(delegate, 300, 100);
    g.AttachControl(new Knob({0, 0, 100, 100}, 0));
    g.AttachControl(new Knob({100, 0, 200, 100}, 2));
    g.AttachControl(new SelfEditing({200, 0, 300, 100}, delegate, 1));
    IMouseInfo first = At(50, 50), second = At(150, 50), graph = At(250, 50);
    second.ms.touchID = 1;
    graph.ms.touchID = 2;
    g.OnMouseDown({first, second, graph});
    g.OnMouseDrag({At(50, 20, false, 0, -30)});
    EXPECT_EQ(delegate.begins, 3);
    EXPECT_EQ(delegate.performs, 1);
    EXPECT_EQ(delegate.open[0], 1);
    EXPECT_EQ(delegate.open[2], 1);
    g.RemoveAllControls();
    EXPECT_EQ(delegate.open[0], 0);
    EXPECT_EQ(delegate.open[2], 0);
    EXPECT_EQ(delegate.open[1], 0) << "the control's own edit ends with it, once";
    // Nothing is held any more: a late mouse-up ends nothing a second time.
    g.OnMouseUp({At(50, 20)});
  }
  for (const auto& entry : delegate.open)
    EXPECT_EQ(entry.second, 0) << "edit of " << entry.first << " left open";
  EXPECT_EQ(delegate.begins, 3);
}

} // namespace
} // namespace plugkit::igraphics
