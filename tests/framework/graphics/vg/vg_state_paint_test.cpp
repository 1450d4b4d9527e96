#include "framework/graphics/vg/vg_paint.h"
#include "framework/graphics/vg/vg_transform.h"
#include "tests/framework/graphics/vg/vg_fixture.h"

#include <algorithm>
#include <limits>

namespace plugkit::testing {
namespace {

using VgStateTest = VgFixture;

TEST_F(VgStateTest, StackHoldsThirtyTwoStatesAndNeverEmpties) {
  for (int i = 0; i < 40; ++i) {
    VgGetState(ctx)->strokeWidth = static_cast<float>(i);
    VgSave(ctx);
  }
  EXPECT_EQ(ctx->stateCount, kVgMaxStates);
  VgRestore(ctx);
  EXPECT_EQ(VgGetState(ctx)->strokeWidth, 30.0f); // saves beyond 32 were ignored
  for (int i = 0; i < 40; ++i) VgRestore(ctx);
  EXPECT_EQ(ctx->stateCount, 1);
  EXPECT_EQ(VgGetState(ctx)->strokeWidth, 0.0f);
}

TEST_F(VgStateTest, ResetAndBeginFrameGiveTheDefaultState) {
  VgGetState(ctx)->alpha = 0.1f;
  VgSave(ctx);
  VgGetState(ctx)->lineJoin = kVgRound;
  VgScissor(ctx, 0, 0, 5, 5);
  VgReset(ctx);
  EXPECT_EQ(VgGetState(ctx)->lineJoin, kVgMiter);
  EXPECT_EQ(VgGetState(ctx)->scissor.extent[0], -1.0f);
  EXPECT_EQ(VgGetState(ctx)->stroke.innerColor.a, 1.0f);
  VgBeginFrame(ctx, 100, 100, 1);
  EXPECT_EQ(ctx->stateCount, 1);
  EXPECT_EQ(VgGetState(ctx)->alpha, 1.0f);
}

TEST_F(VgStateTest, DevicePixelRatioSetsTheFringeAndBadRatiosFallBackToOne) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float cases[][2] = {{2, 0.5f}, {0.5f, 2}, {0, 1}, {-3, 1}, {nan, 1}};
  for (const auto& c : cases) {
    backend.queued.clear();
    VgBeginFrame(ctx, 100, 100, c[0]);
    EXPECT_FLOAT_EQ(backend.viewport[2], 1.0f / c[1]);
    VgBeginPath(ctx);
    VgRect(ctx, 0, 0, 10, 10);
    VgFill(ctx);
    EXPECT_FLOAT_EQ(OnlyCall().fringe, c[1]);
  }
}

TEST_F(VgStateTest, EndFrameDrawsTheQueueAndCancelDropsIt) {
  VgRect(ctx, 0, 0, 10, 10);
  VgFill(ctx);
  VgCancelFrame(ctx);
  EXPECT_TRUE(backend.queued.empty());
  VgStroke(ctx);
  VgEndFrame(ctx);
  EXPECT_EQ(backend.flushes, 1);
  ASSERT_EQ(backend.drawn.size(), 1u);
  EXPECT_EQ(backend.drawn[0].kind, RecordedCall::Kind::Stroke);
}

TEST(VgContextLifetime, FailedBackEndGivesNoContextAndIsFreed) {
  RecordingBackend backend;
  backend.refuseCreate = true;
  EXPECT_EQ(VgCreateContext(backend.Callbacks()), nullptr);
  EXPECT_TRUE(backend.destroyed);
  RecordingBackend noTextures; // no glyph atlas image
  noTextures.refuseTextures = true;
  EXPECT_EQ(VgCreateContext(noTextures.Callbacks()), nullptr);
  EXPECT_TRUE(noTextures.destroyed);
  VgDeleteContext(nullptr);
}

TEST_F(VgStateTest, ScissorIsTheRectangleUnderTheTransform) {
  float rotate[6];
  VgTransformRotate(rotate, 0.5f);
  VgTransformTranslate(VgGetState(ctx)->xform, 100, 50);
  VgTransformPremultiply(VgGetState(ctx)->xform, rotate);
  VgScissor(ctx, 10, 20, 30, 40);
  const VgScissorState& s = VgGetState(ctx)->scissor;
  EXPECT_FLOAT_EQ(s.extent[0], 15);
  EXPECT_FLOAT_EQ(s.extent[1], 20);
  // The scissor's corners are the transformed corners of the rectangle.
  for (const auto& corner : {std::pair{-1, -1}, std::pair{1, 1}, std::pair{1, -1}}) {
    float sx, sy, ex, ey;
    VgTransformPoint(&sx, &sy, s.xform, corner.first * s.extent[0], corner.second * s.extent[1]);
    VgTransformPoint(&ex, &ey, VgGetState(ctx)->xform, 25 + corner.first * 15.0f,
                     40 + corner.second * 20.0f);
    EXPECT_NEAR(sx, ex, 1e-3f);
    EXPECT_NEAR(sy, ey, 1e-3f);
  }
  // A later scissor replaces it; negative sizes become empty.
  VgScissor(ctx, 0, 0, -5, 8);
  EXPECT_EQ(s.extent[0], 0.0f);
  EXPECT_EQ(s.extent[1], 4.0f);
  // A rectangle that is not a number clips everything.
  VgScissor(ctx, std::nanf(""), 0, 10, 10);
  EXPECT_EQ(s.extent[0], 0.0f);
  EXPECT_EQ(s.extent[1], 0.0f);
  for (float v : s.xform) EXPECT_TRUE(std::isfinite(v));
}

// How the back end colours a frame point with a gradient paint: 0 is the
// inner colour, 1 the outer.
float GradientPosition(const VgPaint& paint, float x, float y) {
  float inv[6], px, py;
  VgTransformInverse(inv, paint.xform);
  VgTransformPoint(&px, &py, inv, x, y);
  const float ex = paint.extent[0] - paint.radius;
  const float ey = paint.extent[1] - paint.radius;
  const float dx = std::fabs(px) - ex;
  const float dy = std::fabs(py) - ey;
  const float d = std::min(std::max(dx, dy), 0.0f) +
                  std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f)) - paint.radius;
  return std::clamp((d + paint.feather * 0.5f) / paint.feather, 0.0f, 1.0f);
}

TEST(VgPaint, GradientsRunFromInnerToOuterColour) {
  const VgColor in{1, 0, 0, 1}, out{0, 0, 1, 1};
  struct Probe {
    float x, y, position;
  };
  struct Case {
    VgPaint paint;
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      {VgLinearGradient(10, 10, 110, 60, in, out),
       {{10, 10, 0}, {110, 60, 1}, {60, 35, 0.5f}, {0, 0, 0}, {200, 100, 1}, {10, 135, 0.5f}}},
      {VgLinearGradient(5, 5, 5, 5, in, out), {{5, 5, 0.5f}, {5, 6, 1}, {5, 4, 0}}},
      {VgRadialGradient(50, 50, 10, 30, in, out),
       {{60, 50, 0}, {50, 80, 1}, {50, 30, 0.5f}, {50, 50, 0}, {100, 100, 1}}},
      {VgBoxGradient(0, 0, 100, 50, 5, 10, in, out),
       {{50, 25, 0}, {100, 25, 0.5f}, {105, 25, 1}, {50, -5, 1}, {50, 5, 0}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.paint.innerColor.r, 1);
    EXPECT_EQ(c.paint.outerColor.b, 1);
    EXPECT_EQ(c.paint.image, 0);
    for (const Probe& p : c.probes)
      EXPECT_NEAR(GradientPosition(c.paint, p.x, p.y), p.position, 0.01f) << p.x << "," << p.y;
  }
}

TEST(VgPaint, ImagePatternPlacesTheImageAtItsOriginAndAngle) {
  const VgPaint paint = VgImagePattern(20, 30, 64, 32, 3.14159265f / 2, 7, 0.5f);
  EXPECT_EQ(paint.image, 7);
  EXPECT_EQ(paint.innerColor.a, 0.5f);
  EXPECT_EQ(paint.outerColor.r, 1.0f);
  float x, y;
  VgTransformPoint(&x, &y, paint.xform, 0, 0);
  EXPECT_NEAR(x, 20, 1e-4f);
  EXPECT_NEAR(y, 30, 1e-4f);
  VgTransformPoint(&x, &y, paint.xform, 64, 0); // the image's top edge now points down
  EXPECT_NEAR(x, 20, 1e-4f);
  EXPECT_NEAR(y, 94, 1e-4f);
  EXPECT_EQ(paint.extent[0], 64);
}

} // namespace
} // namespace plugkit::testing
