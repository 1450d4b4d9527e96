#include "framework/graphics/vg/vg_transform.h"
#include "tests/framework/graphics/vg/vg_fixture.h"

#include <algorithm>
#include <limits>
#include <set>

namespace plugkit::testing {
namespace {

class VgStrokeTest : public VgFixture {
protected:
  std::vector<VgVertex> Stroke(std::vector<float> path, float width, int cap, int join,
                               float miterLimit = 10.0f) {
    backend.queued.clear();
    VgBeginPath(ctx);
    Commands(std::move(path));
    VgState* state = VgGetState(ctx);
    state->strokeWidth = width;
    state->lineCap = cap;
    state->lineJoin = join;
    state->miterLimit = miterLimit;
    VgStroke(ctx);
    if (backend.queued.size() != 1) return {};
    const RecordedCall& call = backend.queued[0];
    EXPECT_EQ(call.kind, RecordedCall::Kind::Stroke);
    std::vector<VgVertex> all;
    for (const RecordedPath& p : call.paths) {
      EXPECT_TRUE(p.fill.empty());
      ExpectStripFrontFacing(p.stroke);
      all.insert(all.end(), p.stroke.begin(), p.stroke.end());
    }
    return all;
  }
};

// Signed Chebyshev distance to an axis-aligned rectangle: mitred offsets of
// the rectangle lie at a constant value.
float BoxDistance(const VgVertex& v, float left, float top, float right, float bottom) {
  return std::max({left - v.x, v.x - right, top - v.y, v.y - bottom});
}

TEST_F(VgStrokeTest, RectangleStrokeCoversTheBandOfItsWidthPlusHalfAFringe) {
  for (float width : {1.0f, 4.0f, 9.0f}) {
    const auto verts = Stroke(
        {kVgMoveTo, 10, 10, kVgLineTo, 10, 60, kVgLineTo, 90, 60, kVgLineTo, 90, 10, kVgClose},
        width, kVgButt, kVgMiter);
    ASSERT_FALSE(verts.empty());
    const float half = width / 2 + 0.5f;
    for (const VgVertex& v : verts) {
      ASSERT_TRUE(v.u == 0.0f || v.u == 1.0f) << v.u;
      // u = 0 on the inside, u = 1 on the outside: both fade to nothing.
      EXPECT_NEAR(BoxDistance(v, 10, 10, 90, 60), v.u == 0.0f ? -half : half, 1e-4f);
    }
  }
}

TEST_F(VgStrokeTest, JoinsShapeTheOuterCorner) {
  const float w = 5.5f; // half of width 10 plus half a fringe
  // Both paths turn at (200, 0); the outer side of the corner is where
  // x >= 200 (and, for the right angle, y <= 0).
  const std::vector<float> right = {kVgMoveTo, 0, 0, kVgLineTo, 200, 0, kVgLineTo, 200, 200};
  const std::vector<float> sharp = {kVgMoveTo, 0, 0, kVgLineTo, 200, 0, kVgLineTo, 0, 40};
  struct Case {
    int join;
    float miterLimit;
    const std::vector<float>& path;
    float maxY;
    float minFarthest, maxFarthest;
  };
  const Case cases[] = {
      {kVgMiter, 10, right, 1e-3f, w * std::sqrt(2.0f), w * std::sqrt(2.0f)},
      {kVgBevel, 10, right, 1e-3f, w, w},
      {kVgRound, 10, right, 1e-3f, w, w},
      {kVgMiter, 10, sharp, 1e9f, w, w},    // beyond the miter limit: bevelled
      {kVgMiter, 100, sharp, 1e9f, 50, 60}, // within it: the long miter tip
  };
  for (const Case& c : cases) {
    const auto verts = Stroke(c.path, 10, kVgButt, c.join, c.miterLimit);
    ASSERT_FALSE(verts.empty());
    float farthest = 0;
    std::set<std::pair<int, int>> rim;
    for (const VgVertex& v : verts) {
      if (v.x < 200 - 1e-3f || v.y > c.maxY) continue;
      const float d = Distance(v.x, v.y, 200, 0);
      farthest = std::max(farthest, d);
      if (std::fabs(d - w) < 1e-3f) rim.insert({std::lround(v.x * 100), std::lround(v.y * 100)});
    }
    EXPECT_GE(farthest, c.minFarthest - 1e-3f) << "join " << c.join << " limit " << c.miterLimit;
    EXPECT_LE(farthest, c.maxFarthest + 1e-3f) << "join " << c.join << " limit " << c.miterLimit;
    // Round: an arc of several points; bevel: one chord.
    if (c.join == kVgRound) {
      EXPECT_GE(rim.size(), 3u);
    }
    if (c.join == kVgBevel) {
      EXPECT_EQ(rim.size(), 2u);
    }
  }
}

TEST_F(VgStrokeTest, CapsExtendTheEndsAsExpected) {
  struct Case {
    int cap;
    float reach; // beyond each end point, to where coverage reaches zero
  };
  const Case cases[] = {{kVgButt, 0.5f}, {kVgSquare, 5.5f}, {kVgRound, 5.5f}};
  for (const Case& c : cases) {
    const auto verts = Stroke({kVgMoveTo, 10, 50, kVgLineTo, 90, 50}, 10, c.cap, kVgMiter);
    ASSERT_FALSE(verts.empty());
    float minX = 1e9f, maxX = -1e9f;
    for (const VgVertex& v : verts) {
      minX = std::min(minX, v.x);
      maxX = std::max(maxX, v.x);
      EXPECT_LE(std::fabs(v.y - 50), 5.5f + 1e-4f);
      if (c.cap == kVgRound && v.x < 10) {
        EXPECT_NEAR(Distance(v.x, v.y, 10, 50), 5.5f, 1e-3f);
      }
      if (c.cap != kVgRound && v.v == 0.0f) {
        EXPECT_NEAR(v.x < 50 ? 10 - v.x : v.x - 90, c.reach, 1e-4f);
      }
    }
    // The rim is a polygon whose chords keep about the tessellation tolerance.
    const float slack = c.cap == kVgRound ? 0.3f : 1e-4f;
    EXPECT_NEAR(minX, 10 - c.reach, slack) << "cap " << c.cap;
    EXPECT_NEAR(maxX, 90 + c.reach, slack) << "cap " << c.cap;
  }
}

TEST_F(VgStrokeTest, WidthFollowsTheTransformAndIsLimited) {
  struct Case {
    float width, scale, drawnWidth, alpha;
  };
  const Case cases[] = {
      {4, 1, 4, 1},
      {4, 2, 8, 1},
      {300, 1, 200, 1},
      {150, 2, 200, 1},
      {0.5f, 1, 1, 0.25f}, // thinner than the fringe: one fringe wide,
                           // fainter
      {0.25f, 2, 1, 0.25f},
      {0, 1, 1, 0},
  };
  for (const Case& c : cases) {
    backend.queued.clear();
    VgBeginPath(ctx);
    VgTransformScale(VgGetState(ctx)->xform, c.scale, c.scale);
    Commands({kVgMoveTo, 0, 0, kVgLineTo, 10, 0});
    VgGetState(ctx)->strokeWidth = c.width;
    VgStroke(ctx);
    EXPECT_FLOAT_EQ(OnlyCall().strokeWidth, c.drawnWidth);
    EXPECT_FLOAT_EQ(OnlyCall().paint.innerColor.a, c.alpha);
  }
}

TEST_F(VgStrokeTest, DegenerateInputDrawsNothingOrOnlyFiniteVertices) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(Stroke({kVgMoveTo, 5, 5}, 2, kVgRound, kVgRound).empty());
  EXPECT_TRUE(
      Stroke({kVgMoveTo, 5, 5, kVgLineTo, 5, 5, kVgLineTo, 5.001f, 5}, 2, kVgSquare, kVgMiter)
          .empty());
  EXPECT_TRUE(Stroke({kVgMoveTo, 5, 5, kVgLineTo, nan, 5}, 2, kVgButt, kVgMiter).empty());
  // Segments doubling back on themselves and a stroke width that is not a number.
  for (float width : {2.0f, nan}) {
    const auto verts =
        Stroke({kVgMoveTo, 0, 0, kVgLineTo, 10, 0, kVgLineTo, 0, 0, kVgLineTo, 10, 0, kVgClose},
               width, kVgRound, kVgRound);
    ASSERT_FALSE(verts.empty());
    for (const VgVertex& v : verts) ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
  }
}

TEST_F(VgStrokeTest, WithoutAntialiasingNoFringeGradient) {
  VgDeleteContext(ctx);
  ctx = VgCreateContext(backend.Callbacks(0));
  VgBeginFrame(ctx, 100, 100, 1);
  const auto verts = Stroke({kVgMoveTo, 10, 50, kVgLineTo, 90, 50}, 4, kVgButt, kVgBevel);
  for (const VgVertex& v : verts) {
    EXPECT_EQ(v.u, 0.5f);
    EXPECT_NEAR(std::fabs(v.y - 50), 2, 1e-4f);
  }
}

} // namespace
} // namespace plugkit::testing
