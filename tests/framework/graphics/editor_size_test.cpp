#include "tests/support/graphics/null_graphics.h"
#include "tests/support/graphics/test_delegate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace plugkit::igraphics {
namespace {

using testing::NullGraphics;
using testing::TestDelegate;

// A window layer whose windows grow with the display's scale, as the
// Windows one does.
class ScaledWindowGraphics : public NullGraphics {
public:
  using NullGraphics::NullGraphics;
  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void PlatformResize(bool resized) override { platformResizes.push_back(resized); }
  std::vector<bool> platformResizes;
};

class ResizeCounter : public IControl {
public:
  ResizeCounter() : IControl({0, 0, 10, 10}) {}
  void OnResize() override { ++resizes; }
  void OnRescale() override { ++rescales; }
  void Draw(IGraphics&) override {}
  int resizes = 0;
  int rescales = 0;
};

TEST(EditorSize, ResizeClampsSizeAndScale) {
  TestDelegate delegate;
  ScaledWindowGraphics g(delegate, 900, 620);
  g.SetUIScaleLimits(1.5f, 0.85f);
  EXPECT_FLOAT_EQ(g.GetMinScale(), 0.85f);
  EXPECT_FLOAT_EQ(g.GetMaxScale(), 1.5f);

  struct Case {
    int w, h;
    float scale;
    int expectW, expectH;
    float expectScale;
  } cases[] = {
      {800, 600, 3.f, 800, 600, 1.5f},
      {800, 600, 0.1f, 800, 600, 0.85f},
      {5, 200000, 1.f, 10, 100000, 1.f},
      {700, 500, std::numeric_limits<float>::quiet_NaN(), 700, 500, 1.f},
      {700, 500, -2.f, 700, 500, 1.f},
  };
  for (const Case& c : cases) {
    g.Resize(c.w, c.h, c.scale, false);
    EXPECT_EQ(g.Width(), c.expectW);
    EXPECT_EQ(g.Height(), c.expectH);
    EXPECT_FLOAT_EQ(g.GetDrawScale(), c.expectScale);
  }
}

TEST(EditorSize, ResizeTellsHostWindowAndControls) {
  TestDelegate delegate;
  ScaledWindowGraphics g(delegate, 900, 620);
  auto* control = new ResizeCounter;
  g.AttachControl(control);
  control->resizes = 0;
  g.SetScreenScale(1.5f);
  ASSERT_EQ(delegate.resizeRequests.size(), 1u);
  EXPECT_EQ(delegate.resizeRequests[0].width, 1350);
  EXPECT_EQ(control->rescales, 2);
  EXPECT_EQ(control->resizes, 0);

  g.CaptureControl(control);
  delegate.resizeAnswer = false;
  g.Resize(900, 620, 1.2f, true);
  ASSERT_EQ(delegate.resizeRequests.size(), 2u);
  EXPECT_EQ(delegate.resizeRequests[1].width, 1620);
  EXPECT_EQ(delegate.resizeRequests[1].height, 1116);
  EXPECT_TRUE(delegate.resizeRequests[1].needsPlatformResize);
  EXPECT_EQ(g.platformResizes.back(), false);
  EXPECT_EQ(control->resizes, 1);
  EXPECT_FALSE(g.ControlIsCaptured(control));
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.2f);

  // The same size and scale again: nothing happens at all.
  g.CaptureControl(control);
  g.Resize(900, 620, 1.2f, true);
  EXPECT_EQ(delegate.resizeRequests.size(), 2u);
  EXPECT_EQ(control->resizes, 1);
  EXPECT_TRUE(g.ControlIsCaptured(control));

  // The same screen scale again still resizes and redraws.
  control->ClearDirty();
  g.SetScreenScale(1.5f);
  EXPECT_EQ(delegate.resizeRequests.size(), 3u);
  EXPECT_TRUE(control->IsDirty());
}

TEST(EditorSize, UnusableScreenScalesAreRefused) {
  TestDelegate delegate;
  ScaledWindowGraphics g(delegate, 100, 100);
  g.SetScreenScale(2.f);
  for (float bad : {0.f, -1.f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity()}) {
    g.SetScreenScale(bad);
    EXPECT_FLOAT_EQ(g.GetScreenScale(), 2.f);
  }
  EXPECT_EQ(delegate.resizeRequests.size(), 1u);
}

} // namespace
} // namespace plugkit::igraphics
