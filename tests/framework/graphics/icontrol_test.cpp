#include "framework/core/param_shape.h"
#include "framework/graphics/iknob_control_base.h"
#include "tests/support/graphics/null_graphics.h"
#include "tests/support/graphics/test_delegate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace plugkit::igraphics {
namespace {

using testing::NullGraphics;
using testing::TestDelegate;

class PlainControl : public IControl {
public:
  using IControl::IControl;
  void Draw(IGraphics&) override {}
};

class Knob : public IKnobControlBase {
public:
  using IKnobControlBase::IKnobControlBase;
  IRect GetDragBounds() const override { return GetTargetRECT(); }
  void Draw(IGraphics&) override {}
};

struct Editor {
  TestDelegate delegate{4};
  NullGraphics graphics{delegate, 200, 100};

  template <typename T>
  T* Attach(T* control) {
    graphics.AttachControl(control);
    return control;
  }
};

TEST(IControl, SetDirtySendsTheClampedValueOnceAndUpdatesPeers) {
  Editor e;
  int actions = 0;
  auto* source = e.Attach(new PlainControl({0, 0, 10, 10}, 1, [&](IControl*) { ++actions; }));
  auto* peer = e.Attach(new PlainControl({20, 0, 30, 10}, {3, 1}));
  auto* other = e.Attach(new PlainControl({40, 0, 50, 10}, 2));

  source->SetValue(1.3, 0);
  source->SetDirty(true, -1);
  ASSERT_EQ(e.delegate.sent.size(), 1u);
  EXPECT_EQ(e.delegate.sent[0].paramIdx, 1);
  EXPECT_EQ(e.delegate.sent[0].normalized, 1.0);
  EXPECT_EQ(source->GetValue(), 1.0);
  EXPECT_EQ(peer->GetValue(1), 1.0);
  EXPECT_EQ(peer->GetValue(0), 0.0);
  EXPECT_EQ(other->GetValue(), 0.0);
  EXPECT_EQ(actions, 1);
  EXPECT_DOUBLE_EQ(e.delegate.GetParam(1)->Value(), 1.0);

  source->SetValueFromUserInput(-0.2);
  EXPECT_EQ(e.delegate.sent.back().normalized, 0.0);
  EXPECT_EQ(actions, 2);
  // The value already stored: no host notification, no action.
  source->SetValueFromUserInput(0.0);
  EXPECT_EQ(e.delegate.sent.size(), 2u);
  EXPECT_EQ(actions, 2);
}

TEST(IControl, DelegateValuesAreIgnoredWhileTheUserHoldsTheControl) {
  Editor e;
  auto* c = e.Attach(new PlainControl({0, 0, 10, 10}, 0));
  c->ClearDirty();
  c->SetValueFromDelegate(0.4);
  EXPECT_EQ(c->GetValue(), 0.4);
  EXPECT_TRUE(c->IsDirty());

  e.graphics.CaptureControl(c, 7);
  c->SetValueFromDelegate(0.9);
  EXPECT_EQ(c->GetValue(), 0.4);
  e.graphics.ReleaseMouseCapture();

  c->SetValueFromDelegate(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(c->GetValue()));
  c->SetValueFromDelegate(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(c->GetValue()));
  EXPECT_TRUE(e.delegate.sent.empty());
}

TEST(IControl, DefaultsComeFromTheBoundParameters) {
  Editor e;
  auto* one = e.Attach(new PlainControl({0, 0, 10, 10}, 2));
  auto* two = e.Attach(new PlainControl({0, 0, 10, 10}, {0, -1}));
  two->SetValue(0.9, 1);
  one->SetValueToDefault(-1);
  EXPECT_EQ(one->GetValue(), 0.5);
  two->SetValueToDefault(-1);
  EXPECT_EQ(two->GetValue(0), 0.5);
  EXPECT_EQ(two->GetValue(1), 0.9);
  EXPECT_EQ(two->GetParam(1), nullptr);
  auto* missing = e.Attach(new PlainControl({0, 0, 10, 10}, 99));
  EXPECT_EQ(missing->GetParam(), nullptr);
}

// A value index outside the values is refused by every operation that takes
// one: nothing changes, nothing is sent, nothing is thrown.
TEST(IControl, OutOfRangeValueIndexIsRefused) {
  Editor e;
  auto* c = e.Attach(new PlainControl({0, 0, 10, 10}, {0, 1}));
  c->SetValue(0.25, 0);
  c->SetValue(0.75, 1);
  for (int bad : {2, 5, -2, 1000}) {
    EXPECT_NO_THROW(c->SetParamIdx(3, bad));
    EXPECT_NO_THROW(c->SetValue(0.5, bad));
    EXPECT_NO_THROW(c->SetValueFromDelegate(0.5, bad));
    EXPECT_NO_THROW(c->SetValueFromUserInput(0.5, bad));
    EXPECT_NO_THROW(c->SetValueToDefault(bad));
    EXPECT_NO_THROW(c->SetDirty(true, bad));
    EXPECT_NO_THROW(c->OnPopupMenuSelection(&e.graphics.GetPromptMenu(), bad));
    EXPECT_EQ(c->GetValue(bad), 0.0);
    EXPECT_EQ(c->GetParamIdx(bad), -1);
  }
  EXPECT_EQ(c->GetValue(0), 0.25);
  EXPECT_EQ(c->GetValue(1), 0.75);
  EXPECT_EQ(c->GetParamIdx(0), 0);
  EXPECT_EQ(c->GetParamIdx(1), 1);
  EXPECT_TRUE(e.delegate.sent.empty());
}

TEST(IControl, GeometryHitAndDisabledWeight) {
  Editor e;
  auto* c = e.Attach(new PlainControl({10, 10, 30, 20}));
  c->SetTargetRECT({12, 12, 28, 18});
  c->SetPosition(-5, 10);
  EXPECT_EQ(c->GetRECT(), IRect(0, 10, 20, 20));
  EXPECT_EQ(c->GetTargetRECT(), IRect(2, 12, 18, 18));
  c->SetSize(-3, 4);
  EXPECT_EQ(c->GetRECT(), IRect(0, 10, 0, 14));
  EXPECT_EQ(c->GetTargetRECT(), c->GetRECT());

  c->SetTargetAndDrawRECTs({0, 0, 10, 10});
  EXPECT_TRUE(c->IsHit(0, 0));
  EXPECT_FALSE(c->IsHit(10, 5));
  c->SetTargetRECT({});
  EXPECT_FALSE(c->IsHit(0, 0));

  c->SetDisabled(true);
  EXPECT_FLOAT_EQ(c->GetBlend().weight, 0.25f);
  c->SetDisabled(false);
  EXPECT_FLOAT_EQ(c->GetBlend().weight, 1.f);
}

TEST(IControl, AnimationsRunUntilTheyEndAndThenStopBeingDirty) {
  Editor e;
  auto* c = e.Attach(new PlainControl({0, 0, 10, 10}));
  int steps = 0;
  int ended = 0;
  c->SetAnimationEndActionFunction([&](IControl*) { ++ended; });
  // A function that never ends its animation itself: it runs, and keeps the
  // control dirty, for as long as the animation lasts.
  c->SetAnimation([&](IControl*) { ++steps; }, 60000.0);
  IRectList rects;
  EXPECT_TRUE(e.graphics.IsDirty(rects));
  e.graphics.ClearAllControlsDirty();
  EXPECT_TRUE(c->IsDirty());
  EXPECT_EQ(steps, 1);
  EXPECT_LT(c->GetAnimationProgress(), 1.0);

  c->SetAnimation([&](IControl*) { ++steps; }, 20.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  rects.Clear();
  EXPECT_TRUE(e.graphics.IsDirty(rects));
  e.graphics.ClearAllControlsDirty();
  EXPECT_EQ(ended, 1);
  rects.Clear();
  EXPECT_FALSE(e.graphics.IsDirty(rects));
  EXPECT_EQ(c->GetAnimationProgress(), 0.0);

  // An animation without duration ends on its first step, even when its
  // function ends it itself from inside.
  c->SetAnimation([](IControl* self) { self->OnEndAnimation(); }, 0.0);
  rects.Clear();
  e.graphics.IsDirty(rects);
  e.graphics.ClearAllControlsDirty();
  EXPECT_EQ(ended, 2);
  rects.Clear();
  EXPECT_FALSE(e.graphics.IsDirty(rects));
}

TEST(IKnobControlBase, DragsWithGearingFineModeAndLimits) {
  Editor e;
  auto* knob = e.Attach(new Knob({0, 0, 50, 100}, 0));
  knob->SetValue(0.5, 0);
  const IMouseMod plain;
  IMouseMod shift;
  shift.S = true;

  knob->OnMouseDown(10, 10, plain);
  EXPECT_TRUE(e.graphics.IsCursorHidden());
  knob->OnMouseDrag(10, 0, 0, -40, plain); // 40 up over 100 at gearing 4
  EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
  knob->OnMouseDrag(10, 0, 0, -40, shift); // ten times finer
  EXPECT_NEAR(knob->GetValue(), 0.61, 1e-12);
  knob->OnMouseDrag(10, 0, 0, -1000, plain);
  EXPECT_EQ(knob->GetValue(), 1.0);
  // Past the end the drag value stays at the limit: turning back moves at once.
  knob->OnMouseDrag(10, 0, 0, 4, plain);
  EXPECT_NEAR(knob->GetValue(), 0.99, 1e-12);
  knob->OnMouseUp(10, 0, plain);
  EXPECT_FALSE(e.graphics.IsCursorHidden());
  EXPECT_NEAR(e.delegate.sent.back().normalized, 0.99, 1e-12);

  knob->OnMouseWheel(0, 0, plain, 2.f);
  EXPECT_NEAR(knob->GetValue(), 1.0, 1e-12);
  knob->OnMouseWheel(0, 0, shift, -3.f);
  EXPECT_NEAR(knob->GetValue(), 0.997, 1e-12);

  auto* horizontal = e.Attach(new Knob({0, 0, 50, 100}, 1, EDirection::Horizontal, 1.0));
  horizontal->OnMouseDown(0, 0, plain);
  horizontal->OnMouseDrag(0, 0, 10, 30, plain);
  EXPECT_NEAR(horizontal->GetValue(), 0.2, 1e-12);
}

TEST(IKnobControlBase, SteppedParametersMoveInWholeSteps) {
  Editor e;
  e.delegate.GetParam(2)->ConfigureDouble("steps", 2, 0, 10, 1, "", kFlagStepped, "",
                                          IParam::ShapeLinear());
  auto* knob = e.Attach(new Knob({0, 0, 50, 100}, 2));
  knob->SetValue(0.2, 0);
  const IMouseMod plain;
  knob->OnMouseDown(0, 0, plain);
  knob->OnMouseDrag(0, 0, 0, -2, plain); // 0.005 of the range: still step 2
  EXPECT_NEAR(knob->GetValue(), 0.2, 1e-12);
  knob->OnMouseDrag(0, 0, 0, -30, plain); // 0.2 + 0.075 rounds to step 3
  EXPECT_NEAR(knob->GetValue(), 0.3, 1e-12);
  knob->OnMouseWheel(0, 0, plain, 0.2f);
  EXPECT_NEAR(knob->GetValue(), 0.4, 1e-12);
  knob->OnMouseWheel(0, 0, plain, -5.f);
  EXPECT_NEAR(knob->GetValue(), 0.3, 1e-12);
}

} // namespace
} // namespace plugkit::igraphics
