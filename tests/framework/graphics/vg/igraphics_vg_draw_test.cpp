#include "tests/framework/graphics/vg/igraphics_vg_fixture.h"

#include <cstring>
#include <utility>

namespace plugkit::igraphics::testing {
namespace {

using testsupport::Rgba;

constexpr const char* kBadge =
    "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='40'>"
    "<rect x='0' y='0' width='40' height='40' fill='#00ff00'/>"
    "<circle cx='20' cy='20' r='10' fill='#ff00ff'/></svg>";

const IRect kTextBox(55.f, 62.f, 145.f, 112.f);
const ITextStyle kText(24.f, IColor(255, 0, 0, 0), "Roboto-Regular");

void DrawShapes(IGraphics& g) {
  g.FillRect(IColor(255, 255, 255, 255), IRect(0.f, 0.f, 200.f, 120.f));
  g.FillRect(IColor(255, 200, 30, 30), IRect(10.f, 10.f, 60.f, 50.f));
  g.FillRoundRect(IColor(255, 20, 60, 200), IRect(70.f, 10.f, 120.f, 50.f), 8.f);
  g.PathRect(IRect(130.f, 10.f, 190.f, 50.f));
  g.PathFill(IPattern::CreateLinearGradient(
      130.f, 0.f, 190.f, 0.f, {{IColor(255, 0, 0, 0), 0.f}, {IColor(255, 255, 255, 255), 1.f}}));
  g.DrawCircle(IColor(255, 0, 160, 0), 30.f, 90.f, 15.f, nullptr, 3.f);
  g.DrawText(kText, "Tarvex", kTextBox);
  const ISVG badge = g.LoadSVGFromData("badge.svg", kBadge, static_cast<int>(std::strlen(kBadge)));
  g.DrawSVG(badge, IRect(150.f, 65.f, 190.f, 105.f));
}

class IGraphicsVGDrawTest : public IGraphicsVGTest, public ::testing::WithParamInterface<float> {};

TEST_P(IGraphicsVGDrawTest, ShapesTextAndSvgLandOnTheirPixels) {
  const float s = GetParam();
  if (!Open(s)) GTEST_SKIP() << "no headless OpenGL context";
  const testsupport::RgbaImage image = DrawScene(DrawShapes);
  Save(image, "igraphics_vg_shapes_" + std::to_string(static_cast<int>(s * 10)) + ".png");
  ASSERT_EQ(image.Width(), static_cast<int>(kWidth * s));
  auto at = [&](float x, float y) {
    return image.At(static_cast<int>(x * s), static_cast<int>(y * s));
  };

  struct Spot {
    float x, y;
    Rgba colour;
  };
  const Spot spots[] = {
      {35.f, 30.f, {200, 30, 30, 255}},   {95.f, 30.f, {20, 60, 200, 255}},
      {30.f, 90.f, {255, 255, 255, 255}}, {153.f, 68.f, {0, 255, 0, 255}},
      {170.f, 85.f, {255, 0, 255, 255}},  {5.f, 115.f, {255, 255, 255, 255}},
  };
  for (const Spot& spot : spots) EXPECT_TRUE(Near(at(spot.x, spot.y), spot.colour)) << spot.x;
  // Round corners leave the background showing.
  EXPECT_TRUE(Near(at(70.5f, 10.5f), {255, 255, 255, 255}, 60));
  EXPECT_LT(at(131.f, 30.f).r, 20);
  EXPECT_GT(at(189.f, 30.f).r, 235);
  EXPECT_NEAR(at(160.f, 30.f).r, 128, 12);
  EXPECT_GT(at(45.f, 90.f).g, 120);
  EXPECT_LT(at(45.f, 90.f).r, 120);

  IRect measured = kTextBox;
  EXPECT_GT(g_->MeasureText(kText, "Tarvex", measured), 60.f);
  int inside = 0;
  int outside = 0;
  for (int y = static_cast<int>(kTextBox.T * s); y < static_cast<int>(kTextBox.B * s); ++y) {
    for (int x = static_cast<int>(kTextBox.L * s); x < static_cast<int>(kTextBox.R * s); ++x) {
      if (image.At(x, y).r > 128) continue;
      const float ux = static_cast<float>(x) / s;
      const float uy = static_cast<float>(y) / s;
      const bool in = ux >= measured.L - 1.f && ux <= measured.R + 1.f && uy >= measured.T - 1.f &&
                      uy <= measured.B + 1.f;
      (in ? inside : outside) += 1;
    }
  }
  EXPECT_GT(inside, static_cast<int>(100 * s * s));
  EXPECT_EQ(outside, 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, IGraphicsVGDrawTest, ::testing::Values(1.f, 1.5f));

// Arcs start at their first angle, 0 pointing up, and sweep clockwise for
// winding 0, the other way round for winding 1.
TEST_F(IGraphicsVGTest, ArcsSweepFromTheTopInTheirDirection) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  struct Case {
    int winding;
    bool upperRight;
  };
  for (const Case c : {Case{0, true}, Case{1, false}}) {
    const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
      g.FillRect(IColor(255, 255, 255, 255), IRect(0.f, 0.f, 200.f, 120.f));
      g.PathArc(100.f, 60.f, 40.f, 0.f, 90.f, c.winding);
      g.PathStroke(IPattern(IColor(255, 255, 0, 0)), 6.f);
    });
    // The four diagonals of the circle: only the upper right one lies on
    // the clockwise quarter.
    EXPECT_EQ(image.At(128, 31).g < 100, c.upperRight) << c.winding;
    for (const auto& p : {std::pair{128, 88}, std::pair{71, 88}, std::pair{71, 31}})
      EXPECT_EQ(image.At(p.first, p.second).g < 100, !c.upperRight) << c.winding;
  }
}

TEST_F(IGraphicsVGTest, TextStyleWithoutLoadedFontMeasuresEmpty) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  IRect r(10.f, 10.f, 100.f, 40.f);
  EXPECT_EQ(g_->MeasureText(ITextStyle(14.f, IColor(), "NoSuchFont"), "Text", r), 0.f);
  EXPECT_TRUE(r.Empty());
}

TEST_F(IGraphicsVGTest, MultiLineTextBreaksIntoRowsInsideItsBox) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  const IRect box(20.f, 10.f, 90.f, 110.f);
  const ITextStyle style(14.f, IColor(255, 0, 0, 0), "Roboto-Regular", EAlign::Near, EVAlign::Top);
  const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
    g.FillRect(IColor(255, 255, 255, 255), IRect(0.f, 0.f, 200.f, 120.f));
    g.DrawMultiLineText(style, "one two three four five six", box);
  });
  Save(image, "igraphics_vg_multiline.png");
  int rowsWithInk = 0;
  int inkOutside = 0;
  bool previousHadInk = false;
  for (int y = 0; y < image.Height(); ++y) {
    bool ink = false;
    for (int x = 0; x < image.Width(); ++x) {
      if (image.At(x, y).r >= 128) continue;
      ink = true;
      if (x < box.L - 1 || x > box.R + 1) ++inkOutside;
    }
    if (ink && !previousHadInk) ++rowsWithInk;
    previousHadInk = ink;
  }
  EXPECT_GE(rowsWithInk, 3);
  EXPECT_EQ(inkOutside, 0);
}

// One row lands where DrawText puts it; two rows share the anchor as a block.
TEST_F(IGraphicsVGTest, MultiLineTextIsAnchoredAsOneBlock) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  for (const auto& [valign, factor] :
       {std::pair{EVAlign::Top, 0.f}, {EVAlign::Middle, 0.5f}, {EVAlign::Bottom, 1.f}}) {
    const ITextStyle style(14.f, IColor(255, 0, 0, 0), "Roboto-Regular", EAlign::Near, valign);
    // The row of the ink that the style anchors: its top, middle or bottom.
    auto inkAnchor = [&, f = factor](const char* text, bool multiLine) {
      const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
        g.FillRect(IColor(255, 255, 255, 255), IRect(0.f, 0.f, 200.f, 120.f));
        const IRect box(20.f, 20.f, 180.f, 100.f);
        multiLine ? g.DrawMultiLineText(style, text, box) : g.DrawText(style, text, box);
      });
      float top = -1.f;
      float bottom = -1.f;
      for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
          if (image.At(x, y).r >= 128) continue;
          if (top < 0.f) top = static_cast<float>(y);
          bottom = static_cast<float>(y);
        }
      }
      return (1.f - f) * top + f * bottom;
    };
    const float single = inkAnchor("MM", false);
    EXPECT_EQ(inkAnchor("MM", true), single) << factor;
    EXPECT_NEAR(inkAnchor("MM\nMM", true), single, 1.f) << factor;
  }
}

} // namespace
} // namespace plugkit::igraphics::testing
