#include <cmath>

#include "tests/framework/graphics/vg/gl2_backend_fixture.h"

namespace plugkit {
namespace {

using testsupport::Rgba;
using testsupport::RgbaImage;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kClear{0, 0, 0, 0};

struct Probe {
  int x;
  int y;
  bool filled;
};

struct StencilCase {
  const char* name;
  std::vector<HandPath> paths;
  std::vector<Probe> probes;
};

// A five-pointed star drawn in one stroke, crossing itself: its middle
// pentagon is wound twice.
HandPath Pentagram(float cx, float cy, float r) {
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i < 5; ++i) {
    const float a = static_cast<float>((-90.0 + 144.0 * i) * M_PI / 180.0);
    points.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  return Polygon(points);
}

TEST_F(Gl2BackendTest, ConvexFillDrawsItsFanDirectly) {
  ConvexFill(VgFillColor(Colour(1, 0, 0)), Rectangle(8, 8, 24, 24));
  ASSERT_EQ(backend_->calls.Count(), 1);
  EXPECT_EQ(backend_->calls[0].type, kVgGl2ConvexFill);
  const RgbaImage image = Draw();
  EXPECT_TRUE(PixelNear(image, 8, 8, kRed, 0));
  EXPECT_TRUE(PixelNear(image, 23, 23, kRed, 0));
  EXPECT_TRUE(PixelNear(image, 24, 16, kClear, 0));
  EXPECT_TRUE(PixelNear(image, 7, 16, kClear, 0));
}

TEST_F(Gl2BackendTest, StencilFillsFollowTheNonzeroRule) {
  std::vector<StencilCase> cases;
  cases.push_back({"self-intersecting-star",
                   {Pentagram(32, 34, 28)},
                   {{32, 34, true}, {32, 8, true}, {8, 26, true}, {32, 60, false}, {4, 4, false}}});
  cases.push_back({"square-with-a-hole",
                   {Rectangle(8, 8, 56, 56), Rectangle(24, 24, 40, 40, true)},
                   {{12, 12, true}, {32, 32, false}, {44, 32, true}}});
  cases.push_back({"overlapping-solid-squares",
                   {Rectangle(8, 8, 40, 40), Rectangle(24, 24, 56, 56)},
                   {{12, 12, true}, {32, 32, true}, {50, 50, true}, {50, 12, false}}});
  for (StencilCase& c : cases) {
    SCOPED_TRACE(c.name);
    float bounds[4] = {1e6f, 1e6f, -1e6f, -1e6f};
    for (const HandPath& path : c.paths) {
      for (const VgVertex& v : path.fill) {
        bounds[0] = std::min(bounds[0], v.x);
        bounds[1] = std::min(bounds[1], v.y);
        bounds[2] = std::max(bounds[2], v.x);
        bounds[3] = std::max(bounds[3], v.y);
      }
    }
    vgGl.Clear(GL_COLOR_BUFFER_BIT);
    Fill(VgFillColor(Colour(1, 0, 0)), c.paths, bounds);
    ASSERT_EQ(backend_->calls[0].type, kVgGl2Fill);
    const RgbaImage image = Draw();
    Save(image, std::string("gl2-stencil-") + c.name + ".png");
    for (const Probe& p : c.probes) {
      EXPECT_TRUE(PixelNear(image, p.x, p.y, p.filled ? kRed : kClear, 0));
    }
  }
}

TEST_F(Gl2BackendTest, StencilFillLeavesTheStencilClearForTheNextFill) {
  const float bounds[4] = {8, 8, 56, 56};
  Fill(VgFillColor(Colour(1, 0, 0)), {Rectangle(8, 8, 56, 56), Rectangle(24, 24, 40, 40, true)},
       bounds);
  // Wound once more over the same place: a stencil left behind would count
  // the hole as covered.
  Fill(VgFillColor(Colour(0, 0, 1)), {Rectangle(8, 8, 56, 56), Rectangle(24, 24, 40, 40, true)},
       bounds);
  const RgbaImage image = Draw();
  EXPECT_TRUE(PixelNear(image, 32, 32, kClear, 0));
  EXPECT_TRUE(PixelNear(image, 12, 12, Rgba{0, 0, 255, 255}, 0));
}

TEST_F(Gl2BackendTest, StrokeFadesOverOneFringeAtEachSide) {
  // A band 8 pixels high for a stroke 7 wide: half a fringe outside each side.
  HandPath band;
  band.stroke = {{8, 28, 0, 1}, {8, 36, 1, 1}, {56, 28, 0, 1}, {56, 36, 1, 1}};
  VgPath path = band.Path();
  const VgPaint paint = VgFillColor(Colour(1, 0, 0));
  const VgScissorState scissor;
  VgGl2RenderStroke(backend_, &paint, {}, &scissor, 1.0f, 7.0f, &path, 1);
  const RgbaImage image = Draw();
  EXPECT_TRUE(PixelNear(image, 32, 27, kClear, 0));
  EXPECT_TRUE(PixelNear(image, 32, 28, Rgba{128, 0, 0, 128}, 2));
  EXPECT_TRUE(PixelNear(image, 32, 29, kRed, 0));
  EXPECT_TRUE(PixelNear(image, 32, 32, kRed, 0));
  EXPECT_TRUE(PixelNear(image, 32, 35, Rgba{128, 0, 0, 128}, 2));
  EXPECT_TRUE(PixelNear(image, 32, 36, kClear, 0));
}

TEST_F(Gl2BackendTest, ScissorClipsToItsRectangle) {
  VgScissorState scissor;
  scissor.xform[0] = 1;
  scissor.xform[3] = 1;
  scissor.xform[4] = 32; // centre
  scissor.xform[5] = 32;
  scissor.extent[0] = 8;
  scissor.extent[1] = 12;
  ConvexFill(VgFillColor(Colour(1, 0, 0)), Rectangle(0, 0, kSize, kSize), {}, scissor);
  const RgbaImage image = Draw();
  const std::vector<Probe> probes = {{24, 32, true},  {23, 32, false}, {39, 32, true},
                                     {40, 32, false}, {32, 20, true},  {32, 19, false},
                                     {32, 43, true},  {32, 44, false}};
  for (const Probe& p : probes)
    EXPECT_TRUE(PixelNear(image, p.x, p.y, p.filled ? kRed : kClear, 0));
}

TEST_F(Gl2BackendTest, GradientsHoldTheirEndColours) {
  struct GradientCase {
    const char* name;
    VgPaint paint;
    std::vector<std::pair<int, int>> innerAt;
    std::vector<std::pair<int, int>> outerAt;
    std::pair<int, int> middle;
  };
  const VgColor red = Colour(1, 0, 0);
  const VgColor blue = Colour(0, 0, 1);
  const std::vector<GradientCase> cases = {
      {"linear-across",
       VgLinearGradient(16, 0, 48, 0, red, blue),
       {{2, 5}, {15, 60}},
       {{48, 5}, {62, 60}},
       {32, 30}},
      {"linear-down",
       VgLinearGradient(0, 48, 0, 16, red, blue),
       {{5, 48}, {60, 62}},
       {{5, 15}, {60, 2}},
       {30, 31}},
      {"radial",
       VgRadialGradient(32, 32, 4, 20, red, blue),
       {{32, 32}, {34, 33}},
       {{2, 2}, {61, 32}},
       {32, 44}},
  };
  for (const GradientCase& c : cases) {
    SCOPED_TRACE(c.name);
    ConvexFill(c.paint, Rectangle(0, 0, kSize, kSize));
    const RgbaImage image = Draw();
    Save(image, std::string("gl2-gradient-") + c.name + ".png");
    for (const auto& [x, y] : c.innerAt) EXPECT_TRUE(PixelNear(image, x, y, kRed, 1));
    for (const auto& [x, y] : c.outerAt)
      EXPECT_TRUE(PixelNear(image, x, y, Rgba{0, 0, 255, 255}, 1));
    const Rgba middle = image.At(c.middle.first, c.middle.second);
    EXPECT_NEAR(middle.r, 128, 12);
    EXPECT_NEAR(middle.b, 128, 12);
  }
}

TEST_F(Gl2BackendTest, BlendFactorsCombineWithWhatIsDrawn) {
  struct BlendCase {
    const char* name;
    VgBlendState blend;
    Rgba expected;
  };
  const std::vector<BlendCase> cases = {
      {"source over",
       {kVgOne, kVgOneMinusSrcAlpha, kVgOne, kVgOneMinusSrcAlpha},
       {191, 0, 64, 255}},
      {"invalid factor drawn source over", {3, kVgZero, kVgOne, kVgOne}, {191, 0, 64, 255}},
      {"destination in", {kVgZero, kVgSrcAlpha, kVgZero, kVgSrcAlpha}, {64, 0, 0, 64}},
      {"destination out",
       {kVgZero, kVgOneMinusSrcAlpha, kVgZero, kVgOneMinusSrcAlpha},
       {191, 0, 0, 191}},
      {"source in", {kVgDstAlpha, kVgZero, kVgDstAlpha, kVgZero}, {0, 0, 64, 64}},
      {"colour and alpha apart", {kVgOne, kVgZero, kVgZero, kVgOne}, {0, 0, 64, 255}},
  };
  for (const BlendCase& c : cases) {
    SCOPED_TRACE(c.name);
    ConvexFill(VgFillColor(Colour(1, 0, 0)), Rectangle(0, 0, kSize, kSize));
    ConvexFill(VgFillColor(Colour(0, 0, 1, 0.25f)), Rectangle(16, 16, 48, 48), c.blend);
    const RgbaImage image = Draw();
    EXPECT_TRUE(PixelNear(image, 32, 32, c.expected, 2));
    EXPECT_TRUE(PixelNear(image, 4, 4, kRed, 0));
  }
}

TEST_F(Gl2BackendTest, CancelDropsWhatIsQueued) {
  ConvexFill(VgFillColor(Colour(1, 0, 0)), Rectangle(0, 0, 32, 32));
  VgGl2Cancel(backend_);
  ConvexFill(VgFillColor(Colour(1, 0, 0)), Rectangle(32, 32, 64, 64));
  const RgbaImage image = Draw();
  EXPECT_TRUE(PixelNear(image, 16, 16, kClear, 0));
  EXPECT_TRUE(PixelNear(image, 48, 48, kRed, 0));
  EXPECT_EQ(backend_->calls.Count(), 0);
  EXPECT_EQ(backend_->vertices.Count(), 0);
}

TEST_F(Gl2BackendTest, QueuesGrowPastTheirFirstCapacity) {
  // More calls, paths and uniform blocks than the first allocation holds.
  constexpr int kCells = 300;
  for (int i = 0; i < kCells; ++i) {
    const float x = static_cast<float>(i % 20) * 3;
    const float y = static_cast<float>(i / 20) * 3;
    ConvexFill(VgFillColor(Colour(1, 0, 0)), Rectangle(x, y, x + 1, y + 1));
  }
  EXPECT_EQ(backend_->calls.Count(), kCells);
  const RgbaImage image = Draw();
  int drawn = 0;
  for (int i = 0; i < kCells; ++i) drawn += image.At(i % 20 * 3, i / 20 * 3).r == 255;
  EXPECT_EQ(drawn, kCells);
  EXPECT_TRUE(PixelNear(image, 1, 1, kClear, 0));
}

TEST_F(Gl2BackendTest, EmptyCallsQueueNothing) {
  const VgPaint paint = VgFillColor(Colour(1, 0, 0));
  const VgScissorState scissor;
  const float bounds[4] = {0, 0, 0, 0};
  VgGl2RenderFill(backend_, &paint, {}, &scissor, 1.0f, bounds, nullptr, 0);
  VgGl2RenderStroke(backend_, &paint, {}, &scissor, 1.0f, 1.0f, nullptr, 0);
  VgGl2RenderTriangles(backend_, &paint, {}, &scissor, nullptr, 0, 1.0f);
  EXPECT_EQ(backend_->calls.Count(), 0);
  const RgbaImage image = Draw();
  EXPECT_TRUE(PixelNear(image, 32, 32, kClear, 0));
}

} // namespace
} // namespace plugkit
