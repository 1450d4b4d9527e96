#include <random>

#include "tests/framework/graphics/vg/gl2_backend_fixture.h"

namespace plugkit {
namespace {

using testsupport::RgbaImage;

// Strips and triangles at random places, crossing one another, with random
// vertex counts so that strips of odd and even length follow each other and
// both windings occur (face culling must drop the same triangles either way).
struct Scene {
  std::vector<HandPath> strips;
  std::vector<std::vector<VgVertex>> triangles;
};

Scene RandomScene(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> coordinate(-4.0f, 68.0f);
  std::uniform_int_distribution<int> length(3, 9);
  Scene scene;
  for (int i = 0; i < 40; ++i) {
    HandPath strip;
    const int n = length(random);
    for (int k = 0; k < n; ++k)
      strip.stroke.push_back({coordinate(random), coordinate(random), k % 2 ? 1.0f : 0.0f, 1.0f});
    scene.strips.push_back(strip);
    std::vector<VgVertex> triangle;
    for (int k = 0; k < 3; ++k)
      triangle.push_back({coordinate(random), coordinate(random), 0.5f, 0.5f});
    scene.triangles.push_back(triangle);
  }
  return scene;
}

class Gl2JoinTest : public Gl2BackendTest {
protected:
  // Queues the scene's strips as strokes (every third one with two paths)
  // and its triangles, each kind in a paint of its own; with `flushEach`
  // every call is drawn on its own, so nothing can be joined.
  RgbaImage DrawScene(const Scene& scene, bool flushEach) {
    vgGl.ClearColor(0, 0, 0, 0);
    vgGl.Clear(GL_COLOR_BUFFER_BIT);
    const VgPaint strokePaint = VgFillColor(Colour(0.9f, 0.3f, 0.1f, 0.45f));
    const VgPaint trianglePaint = VgFillColor(Colour(0.1f, 0.4f, 0.9f, 0.35f));
    const VgScissorState scissor;
    std::vector<HandPath> strips = scene.strips;
    for (size_t i = 0; i < strips.size(); ++i) {
      VgPath paths[2] = {strips[i].Path(), strips[(i + 1) % strips.size()].Path()};
      VgGl2RenderStroke(backend_, &strokePaint, {}, &scissor, 1.0f, 3.0f, paths, i % 3 ? 1 : 2);
      if (flushEach) VgGl2Flush(backend_);
    }
    for (const std::vector<VgVertex>& triangle : scene.triangles) {
      VgGl2RenderTriangles(backend_, &trianglePaint, {}, &scissor, triangle.data(), 3, 1.0f);
      if (flushEach) VgGl2Flush(backend_);
    }
    callsQueued_ = backend_->calls.Count();
    return Draw();
  }

  int callsQueued_ = 0;
};

TEST_F(Gl2JoinTest, JoinedCallsDrawWhatSeparateCallsDraw) {
  for (unsigned seed = 1; seed <= 8; ++seed) {
    SCOPED_TRACE(seed);
    const Scene scene = RandomScene(seed);
    const RgbaImage joined = DrawScene(scene, false);
    EXPECT_EQ(callsQueued_, 2);
    const RgbaImage separate = DrawScene(scene, true);
    EXPECT_TRUE(joined.Bytes() == separate.Bytes());
    int covered = 0;
    for (size_t i = 3; i < joined.Bytes().size(); i += 4) covered += joined.Bytes()[i] != 0;
    EXPECT_GT(covered, kSize * kSize / 4);
    if (seed == 1) Save(joined, "gl2_joined_calls.png");
  }
}

TEST_F(Gl2JoinTest, OnlyCallsThatDrawAlikeJoin) {
  HandPath band;
  band.stroke = {{8, 28, 0, 1}, {8, 36, 1, 1}, {56, 28, 0, 1}, {56, 36, 1, 1}};
  VgScissorState clipped;
  clipped.xform[0] = clipped.xform[3] = 1;
  clipped.xform[4] = clipped.xform[5] = 32;
  clipped.extent[0] = clipped.extent[1] = 8;
  const VgScissorState none;
  const VgPaint red = VgFillColor(Colour(1, 0, 0));
  const VgPaint blue = VgFillColor(Colour(0, 0, 1));
  VgBlendState additive;
  additive.srcColor = additive.srcAlpha = kVgOne;
  additive.dstColor = additive.dstAlpha = kVgOne;
  const std::vector<VgVertex> quad = {{8, 8, 0.5f, 0.5f}, {8, 16, 0.5f, 0.5f}, {16, 8, 0.5f, 0.5f}};

  enum Kind { kStroke, kTriangles, kConvex };
  struct Call {
    Kind kind;
    const VgPaint* paint;
    const VgScissorState* scissor;
    VgBlendState blend;
    float width;
  };
  struct Case {
    const char* name;
    std::vector<Call> calls;
    int expected;
  };
  const std::vector<Case> cases = {
      {"same stroke", {{kStroke, &red, &none, {}, 3}, {kStroke, &red, &none, {}, 3}}, 1},
      {"colour", {{kStroke, &red, &none, {}, 3}, {kStroke, &blue, &none, {}, 3}}, 2},
      {"width", {{kStroke, &red, &none, {}, 3}, {kStroke, &red, &none, {}, 4}}, 2},
      {"scissor", {{kStroke, &red, &none, {}, 3}, {kStroke, &red, &clipped, {}, 3}}, 2},
      {"blend", {{kStroke, &red, &none, {}, 3}, {kStroke, &red, &none, additive, 3}}, 2},
      {"same triangles", {{kTriangles, &red, &none, {}, 1}, {kTriangles, &red, &none, {}, 1}}, 1},
      {"kind", {{kStroke, &red, &none, {}, 3}, {kTriangles, &red, &none, {}, 1}}, 2},
      {"fill between",
       {{kStroke, &red, &none, {}, 3},
        {kConvex, &red, &none, {}, 0},
        {kStroke, &red, &none, {}, 3}},
       3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const Call& call : c.calls) {
      VgPath path = band.Path();
      if (call.kind == kStroke)
        VgGl2RenderStroke(backend_, call.paint, call.blend, call.scissor, 1.0f, call.width, &path,
                          1);
      else if (call.kind == kTriangles)
        VgGl2RenderTriangles(backend_, call.paint, call.blend, call.scissor, quad.data(), 3, 1.0f);
      else
        ConvexFill(*call.paint, Rectangle(0, 0, 4, 4), call.blend, *call.scissor);
    }
    EXPECT_EQ(backend_->calls.Count(), c.expected);
    VgGl2Cancel(backend_);
  }
}

} // namespace
} // namespace plugkit
