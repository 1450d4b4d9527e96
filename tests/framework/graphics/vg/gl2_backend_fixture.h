#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/vg/vg_gl2_backend.h"
#include "framework/graphics/vg/vg_paint.h"
#include "tests/support/gl/headless_gl_context.h"

namespace plugkit {

// One sub-path built by hand: its interior fan and its fringe or stroke strip.
struct HandPath {
  std::vector<VgVertex> fill;
  std::vector<VgVertex> stroke;

  VgPath Path() {
    VgPath path;
    path.fill = fill.empty() ? nullptr : fill.data();
    path.fillCount = static_cast<int32_t>(fill.size());
    path.stroke = stroke.empty() ? nullptr : stroke.data();
    path.strokeCount = static_cast<int32_t>(stroke.size());
    return path;
  }
};

// A polygon fan with the texture coordinate of solid interior (0.5, 1).
HandPath Polygon(const std::vector<std::pair<float, float>>& points);

// An axis-aligned rectangle, visited counter-clockwise on screen (a solid
// shape; the reverse order makes a hole).
HandPath Rectangle(float left, float top, float right, float bottom, bool hole = false);

VgColor Colour(float r, float g, float b, float a = 1.0f);

// Every channel of the pixel at (x, y), counted from the top left, within
// `tolerance` of the expected value.
::testing::AssertionResult PixelNear(const testsupport::RgbaImage& image, int x, int y,
                                     testsupport::Rgba expected, int tolerance = 2);

// A 64 x 64 headless window with the back end created on it; each test
// queues calls, flushes and reads the window's pixels.
class Gl2BackendTest : public ::testing::Test {
protected:
  static constexpr int kSize = 64;

  void SetUp() override;
  void TearDown() override;

  void Fill(const VgPaint& paint, std::vector<HandPath> paths, const float bounds[4],
            VgBlendState blend = {}, const VgScissorState& scissor = {});
  void ConvexFill(const VgPaint& paint, HandPath path, VgBlendState blend = {},
                  const VgScissorState& scissor = {});
  // Flushes, checks that GL reported no error, and reads the window.
  testsupport::RgbaImage Draw();
  void Save(const testsupport::RgbaImage& image, const std::string& name) const;

  std::unique_ptr<testsupport::HeadlessGlContext> gl_;
  VgGl2Backend* backend_ = nullptr;
};

} // namespace plugkit
