#pragma once

#include "tests/support/graphics/test_delegate.h"
#include "tests/support/vg_graphics/headless_graphics_vg.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace plugkit::igraphics::testing {

// A control that draws whatever the test gives it.
class SceneControl : public IControl {
public:
  using DrawFunction = std::function<void(IGraphics&)>;
  SceneControl(const IRect& bounds, DrawFunction draw) : IControl(bounds), draw_(std::move(draw)) {}
  void Draw(IGraphics& g) override { draw_(g); }

private:
  DrawFunction draw_;
};

// The drawing back end on a headless context of kWidth x kHeight editor
// units at the draw scale the test asks for, with Roboto loaded as
// "Roboto-Regular".
class IGraphicsVGTest : public ::testing::Test {
protected:
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 120;

  // False (and the test skipped) when no GL context can be had.
  bool Open(float scale = 1.f, bool backingLayer = true);
  // Draws one frame of a control covering the whole editor and reads the
  // window back.
  testsupport::RgbaImage DrawScene(const SceneControl::DrawFunction& draw);
  void Save(const testsupport::RgbaImage& image, const std::string& name) const;

  TestDelegate delegate_;
  std::unique_ptr<HeadlessGraphicsVG> g_;
};

// Channels within `tolerance` of the expected ones.
::testing::AssertionResult Near(const testsupport::Rgba& actual, const testsupport::Rgba& expected,
                                int tolerance = 3);

} // namespace plugkit::igraphics::testing
