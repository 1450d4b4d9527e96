#include "tests/framework/graphics/vg/vg_fixture.h"

namespace plugkit::testing {
namespace {

using VgFillTest = VgFixture;

// Shader coverage across a fringe: 1 at u = 0.5, 0 at u = 0 or 1.
float FringeAlpha(const VgVertex& v) { return 1.0f - std::fabs(2.0f * v.u - 1.0f); }

TEST_F(VgFillTest, ConvexRectangleIsOneFanWithHalfAFringeOutside) {
  VgRect(ctx, 10, 20, 100, 50);
  VgFill(ctx);
  const RecordedCall& call = OnlyCall();
  ASSERT_EQ(call.kind, RecordedCall::Kind::Fill);
  ASSERT_EQ(call.paths.size(), 1u);
  const RecordedPath& path = call.paths[0];
  EXPECT_TRUE(path.convex);
  EXPECT_FLOAT_EQ(call.fringe, 1.0f);
  EXPECT_FLOAT_EQ(call.bounds[0], 10);
  EXPECT_FLOAT_EQ(call.bounds[3], 70);
  // The fan sits half a fringe inside the edges, fully opaque.
  ASSERT_EQ(path.fill.size(), 4u);
  for (const VgVertex& v : path.fill) {
    EXPECT_NEAR(RectDistance(v.x, v.y, 10, 20, 110, 70), -0.5f, 1e-4f);
    EXPECT_FLOAT_EQ(FringeAlpha(v), 1.0f);
  }
  for (size_t i = 1; i + 1 < path.fill.size(); ++i)
    EXPECT_LT(TriangleArea(path.fill[0], path.fill[i], path.fill[i + 1]), 0.0f);
  // The fringe runs from the fan's edge to half a fringe outside, where
  // coverage is zero; it closes on itself.
  ASSERT_GE(path.stroke.size(), 10u);
  for (const VgVertex& v : path.stroke) {
    const float d = RectDistance(v.x, v.y, 10, 20, 110, 70);
    if (FringeAlpha(v) == 0.0f)
      EXPECT_GT(d, 0.49f);
    else
      EXPECT_NEAR(d, -0.5f, 1e-4f);
  }
  EXPECT_EQ(path.stroke.front().x, path.stroke[path.stroke.size() - 2].x);
  ExpectStripFrontFacing(path.stroke);
}

TEST_F(VgFillTest, ConcaveSelfIntersectingAndHoledShapesTakeTheStencilPath) {
  const std::vector<std::vector<float>> shapes = {
      // An L shape.
      {kVgMoveTo, 0, 0, kVgLineTo, 0, 40, kVgLineTo, 40, 40, kVgLineTo, 40, 30, kVgLineTo, 10, 30,
       kVgLineTo, 10, 0, kVgClose},
      // A bow tie.
      {kVgMoveTo, 0, 0, kVgLineTo, 40, 40, kVgLineTo, 40, 0, kVgLineTo, 0, 40, kVgClose},
      // A pentagram as one path: every corner turns the same way.
      {kVgMoveTo, 40, 0, kVgLineTo, 63.5f, 72.4f, kVgLineTo, 2, 27.6f, kVgLineTo, 78, 27.6f,
       kVgLineTo, 16.5f, 72.4f, kVgClose},
      // A square with a square hole.
      {kVgMoveTo, 0,  0,         kVgLineTo, 0,  40,       kVgLineTo,     40,   40, kVgLineTo,
       40,        0,  kVgClose,  kVgMoveTo, 10, 10,       kVgLineTo,     10,   30, kVgLineTo,
       30,        30, kVgLineTo, 30,        10, kVgClose, kVgWindingCmd, kVgCw},
  };
  for (const auto& shape : shapes) {
    backend.queued.clear();
    VgBeginPath(ctx);
    Commands(shape);
    VgFill(ctx);
    const RecordedCall& call = OnlyCall();
    const bool oneConvexPath = call.paths.size() == 1 && call.paths[0].convex;
    EXPECT_FALSE(oneConvexPath);
    for (const RecordedPath& path : call.paths) {
      EXPECT_GE(path.fill.size(), static_cast<size_t>(path.count));
      // Both edges of a stencilled fringe fade to nothing.
      for (const VgVertex& v : path.stroke) EXPECT_TRUE(v.u == 0.0f || v.u == 1.0f || v.u == 0.5f);
      EXPECT_EQ(path.stroke.front().u, 0.0f);
      ExpectStripFrontFacing(path.stroke);
    }
  }
}

TEST_F(VgFillTest, WithoutAntialiasingTheFanIsThePathAndThereIsNoFringe) {
  VgGetState(ctx)->shapeAntialias = 0;
  VgRect(ctx, 0, 0, 10, 10);
  VgFill(ctx);
  const RecordedPath& path = OnlyCall().paths.at(0);
  ASSERT_EQ(path.fill.size(), 4u);
  for (const VgVertex& v : path.fill) EXPECT_NEAR(RectDistance(v.x, v.y, 0, 0, 10, 10), 0, 1e-5f);
  EXPECT_TRUE(path.stroke.empty());
}

TEST_F(VgFillTest, PaintAlphaIsScaledByTheGlobalAlpha) {
  VgGetState(ctx)->alpha = 0.5f;
  VgGetState(ctx)->fill.innerColor.a = 0.8f;
  VgRect(ctx, 0, 0, 10, 10);
  VgFill(ctx);
  EXPECT_FLOAT_EQ(OnlyCall().paint.innerColor.a, 0.4f);
  EXPECT_FLOAT_EQ(OnlyCall().paint.outerColor.a, 0.5f);
  EXPECT_FLOAT_EQ(VgGetState(ctx)->fill.innerColor.a, 0.8f); // the state keeps its paint
}

TEST_F(VgFillTest, ShapesWithoutAreaDrawNothing) {
  const std::vector<std::vector<float>> shapes = {
      {},
      {kVgMoveTo, 5, 5},
      {kVgMoveTo, 5, 5, kVgLineTo, 5, 5, kVgClose},
      {kVgMoveTo, 0, 0, kVgLineTo, 10, 10, kVgClose},
  };
  for (const auto& shape : shapes) {
    VgBeginPath(ctx);
    if (!shape.empty()) Commands(shape);
    VgFill(ctx);
  }
  EXPECT_TRUE(backend.queued.empty());
}

} // namespace
} // namespace plugkit::testing
