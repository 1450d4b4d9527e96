#include "framework/graphics/vg/vg_flatten.h"
#include "framework/graphics/vg/vg_transform.h"
#include "tests/framework/graphics/vg/vg_fixture.h"

#include <limits>

namespace plugkit::testing {
namespace {

constexpr float kPi = 3.14159265f;

class VgPathTest : public VgFixture {
protected:
  std::vector<VgPoint> Points(int path) {
    VgFlattenPaths(ctx);
    const plugkit::VgPath& p = ctx->cache->paths[path];
    return {ctx->cache->points + p.first, ctx->cache->points + p.first + p.count};
  }
  int CountCommands(float command) {
    int n = 0;
    for (int i = 0; i < ctx->commandCount;) {
      const int c = static_cast<int>(ctx->commands[i]);
      if (c == static_cast<int>(command)) ++n;
      i += c == kVgBezierTo ? 7 : c == kVgClose ? 1 : c == kVgWindingCmd ? 2 : 3;
    }
    return n;
  }
};

TEST_F(VgPathTest, PointsAreTransformedWhenAppendedAndTheLastPointIsKeptUntransformed) {
  float t[6];
  VgTransformTranslate(t, 10, 20);
  VgTransformPremultiply(VgGetState(ctx)->xform, t);
  VgRect(ctx, 1, 2, 3, 4);
  const auto pts = Points(0);
  ASSERT_EQ(pts.size(), 4u);
  EXPECT_FLOAT_EQ(pts[0].x, 11);
  EXPECT_FLOAT_EQ(pts[0].y, 22);
  EXPECT_FLOAT_EQ(ctx->commandX, 4); // the rectangle's last corner, untransformed
  EXPECT_FLOAT_EQ(ctx->commandY, 2);
}

TEST_F(VgPathTest, RectangleOrderFollowsWinding) {
  const float appended[4][2] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  for (int winding : {kVgCcw, kVgCw}) {
    VgBeginPath(ctx);
    VgRect(ctx, 0, 0, 10, 10);
    VgPathWinding(ctx, winding);
    const auto pts = Points(0);
    ASSERT_EQ(pts.size(), 4u);
    // A solid rectangle keeps the appended order; a hole runs the other way.
    for (int i = 0; i < 4; ++i) {
      const int from = winding == kVgCcw ? i : 3 - i;
      EXPECT_EQ(pts[i].x, appended[from][0]);
      EXPECT_EQ(pts[i].y, appended[from][1]);
    }
  }
}

TEST_F(VgPathTest, NearPointsMergeAndAClosingDuplicateIsDropped) {
  Commands({kVgMoveTo, 0, 0, kVgLineTo, 10, 0, kVgLineTo, 10.005f, 0, kVgLineTo, 10, 10, kVgLineTo,
            0, 0});
  const auto pts = Points(0);
  ASSERT_EQ(pts.size(), 3u);
  EXPECT_TRUE(ctx->cache->paths[0].closed);
  for (const VgPoint& p : pts) EXPECT_TRUE(p.flags & kVgPointCorner);
}

TEST_F(VgPathTest, LinesBeforeTheFirstMoveAddNothing) {
  Commands({kVgLineTo, 5, 5, kVgBezierTo, 1, 1, 2, 2, 3, 3, kVgMoveTo, 0, 0, kVgLineTo, 1, 0});
  VgFlattenPaths(ctx);
  EXPECT_EQ(ctx->cache->pathCount, 1);
  EXPECT_EQ(ctx->cache->pointCount, 2);
}

TEST_F(VgPathTest, MalformedOrNonFiniteCommandsAreDroppedWhole) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<std::vector<float>> bad = {
      {kVgMoveTo, 0, 0, kVgLineTo, nan, 1},
      {kVgMoveTo, inf, 0},
      {kVgMoveTo, 0},                // truncated
      {kVgMoveTo, 0, 0, 7, 1, 1},    // unknown command
      {kVgMoveTo, 0, 0, 1.5f, 1, 1}, // not a command number
      {kVgWindingCmd, nan},
  };
  for (const auto& values : bad) {
    Commands(values);
    EXPECT_EQ(ctx->commandCount, 0);
  }
  // A transform that overflows finite input is dropped the same way.
  VgTransformScale(VgGetState(ctx)->xform, 1e30f, 1e30f);
  Commands({kVgMoveTo, 1e20f, 0});
  EXPECT_EQ(ctx->commandCount, 0);
}

TEST_F(VgPathTest, ArcSegmentsAndPointsLieOnTheCircle) {
  struct Case {
    float a0, a1;
    int dir;
    int segments;
  };
  const Case cases[] = {
      {0, 2 * kPi, kVgCw, 4}, {0, 10 * kPi, kVgCcw, 4}, {0, 0.1f, kVgCw, 1},
      {0, 0.1f, kVgCcw, 4},   {0, kPi, kVgCw, 2},       {1, 1 + 3 * kPi / 2, kVgCw, 3},
  };
  for (const Case& c : cases) {
    VgBeginPath(ctx);
    VgArc(ctx, 50, 60, 20, c.a0, c.a1, c.dir);
    EXPECT_EQ(CountCommands(kVgMoveTo), 1);
    EXPECT_EQ(CountCommands(kVgBezierTo), c.segments) << c.a1 << " dir " << c.dir;
    for (const VgPoint& p : Points(0)) EXPECT_NEAR(Distance(p.x, p.y, 50, 60), 20, 0.05f);
    // A second arc continues the path with a line-to.
    VgArc(ctx, 0, 0, 5, 0, 1, kVgCw);
    EXPECT_EQ(CountCommands(kVgMoveTo), 1);
    EXPECT_EQ(CountCommands(kVgLineTo), 1);
  }
}

TEST_F(VgPathTest, ArcSweepsTheRequestedDirection) {
  // Clockwise on screen from the right (0) to the bottom (pi / 2): y grows.
  VgArc(ctx, 0, 0, 10, 0, kPi / 2, kVgCw);
  auto pts = Points(0);
  EXPECT_GT(pts[pts.size() / 2].y, 0);
  VgBeginPath(ctx);
  VgArc(ctx, 0, 0, 10, 0, kPi / 2, kVgCcw); // the long way round through the top
  pts = Points(0);
  EXPECT_LT(pts[pts.size() / 3].y, 0);
}

TEST_F(VgPathTest, CurveIsFlattenedWithinTheTolerance) {
  Commands({kVgMoveTo, 0, 0, kVgBezierTo, 0, 100, 100, 100, 100, 0});
  const auto pts = Points(0);
  ASSERT_GT(pts.size(), 8u);
  EXPECT_FLOAT_EQ(pts.back().x, 100);
  EXPECT_TRUE(pts.back().flags & kVgPointCorner);
  for (size_t i = 1; i + 1 < pts.size(); ++i) EXPECT_FALSE(pts[i].flags & kVgPointCorner);
  // The midpoint of each chord stays close to the curve: check against the
  // curve's own points at fine steps.
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    const float mx = (pts[i].x + pts[i + 1].x) / 2;
    const float my = (pts[i].y + pts[i + 1].y) / 2;
    float best = 1e9f;
    for (int k = 0; k <= 2000; ++k) {
      const float t = k / 2000.0f;
      const float u = 1 - t;
      const float x = 3 * u * t * t * 100 + t * t * t * 100;
      const float y = 3 * u * u * t * 100 + 3 * u * t * t * 100;
      best = std::fmin(best, Distance(mx, my, x, y));
    }
    EXPECT_LT(best, 0.5f);
  }
}

TEST_F(VgPathTest, FlatteningIsReusedUntilANewPathBegins) {
  VgRect(ctx, 0, 0, 10, 10);
  VgFill(ctx);
  VgRect(ctx, 20, 20, 10, 10); // appended but not flattened again
  VgFill(ctx);
  EXPECT_EQ(backend.queued.at(1).paths.size(), 1u);
  VgBeginPath(ctx);
  VgRect(ctx, 20, 20, 10, 10);
  VgFill(ctx);
  EXPECT_GE(backend.queued.at(2).bounds[0], 19.0f);
}

} // namespace
} // namespace plugkit::testing
