#include "tests/support/graphics/recording_graphics.h"
#include "tests/support/graphics/test_delegate.h"
#include "third_party/nanosvg/nanosvg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace plugkit::igraphics {
namespace {

using testing::DrawCall;
using testing::RecordingGraphics;
using testing::TestDelegate;

// The path calls as "Op arg arg ...", without transform updates.
std::vector<std::string> PathOps(const RecordingGraphics& g) {
  std::vector<std::string> out;
  for (const DrawCall& call : g.Calls()) {
    if (call.op == "SetTransformMatrix") continue;
    std::string line = call.op.substr(call.op.rfind("Path") == 0 ? 4 : 0);
    for (float a : call.args) {
      char number[32];
      std::snprintf(number, sizeof(number), " %g", static_cast<double>(a));
      line += number;
    }
    out.push_back(line);
  }
  return out;
}

struct Canvas {
  TestDelegate delegate;
  RecordingGraphics g{delegate, 200, 200};
};

TEST(DrawingInterface, EveryShapeBuildsItsPath) {
  const IColor red(255, 255, 0, 0);
  const float xs[] = {0, 10, 5};
  const float ys[] = {0, 0, 8};
  const float data[] = {0.f, 0.5f, 1.f};
  struct Case {
    const char* name;
    std::function<void(IGraphics&)> draw;
    std::vector<std::string> path;
  };
  const Case cases[] = {
      {"line",
       [&](IGraphics& g) { g.DrawLine(red, 1, 2, 3, 4, nullptr, 2); },
       {"Clear", "MoveTo 1 2", "LineTo 3 4", "Stroke 2"}},
      {"point",
       [&](IGraphics& g) { g.DrawPoint(red, 5, 6); },
       {"Clear", "MoveTo 5 6", "LineTo 6 6", "LineTo 6 7", "LineTo 5 7", "Close", "Fill"}},
      {"triangle",
       [&](IGraphics& g) { g.FillTriangle(red, 0, 0, 4, 0, 2, 3); },
       {"Clear", "MoveTo 0 0", "LineTo 4 0", "LineTo 2 3", "Close", "Fill"}},
      {"rect",
       [&](IGraphics& g) {
         g.DrawRect(red, {1, 2, 3, 4});
       },
       {"Clear", "MoveTo 1 2", "LineTo 3 2", "LineTo 3 4", "LineTo 1 4", "Close", "Stroke 1"}},
      {"round rect",
       [&](IGraphics& g) {
         g.FillRoundRect(red, {0, 0, 10, 10}, 2);
       },
       {"Clear", "MoveTo 0 2", "Arc 2 2 2 270 360 0", "Arc 8 2 2 0 90 0", "Arc 8 8 2 90 180 0",
        "Arc 2 8 2 180 270 0", "Close", "Fill"}},
      {"one round corner",
       [&](IGraphics& g) {
         g.DrawRoundRectCorners(red, {0, 0, 10, 10}, 4, 0, 0, 0);
       },
       {"Clear", "MoveTo 0 4", "Arc 4 4 4 270 360 0", "Arc 10 0 0 0 90 0", "Arc 10 10 0 90 180 0",
        "Arc 0 10 0 180 270 0", "Close", "Stroke 1"}},
      {"zero-width box",
       [&](IGraphics& g) { g.FillRoundRect(red, IRect(20, 12, 20, 18), 3); },
       {"Clear", "MoveTo 20 12", "LineTo 20 12", "LineTo 20 18", "LineTo 20 18", "Close", "Fill"}},
      {"corners beyond half the smaller side",
       [&](IGraphics& g) { g.FillRoundRectCorners(red, IRect(0, 0, 4, 6), 30, 1, 0, -2); },
       {"Clear", "MoveTo 0 2", "Arc 2 2 2 270 360 0", "Arc 3 1 1 0 90 0", "Arc 4 6 0 90 180 0",
        "Arc 0 6 0 180 270 0", "Close", "Fill"}},
      {"square corners",
       [&](IGraphics& g) {
         g.DrawRoundRect(red, {0, 0, 2, 2}, 0);
       },
       {"Clear", "MoveTo 0 0", "LineTo 2 0", "LineTo 2 2", "LineTo 0 2", "Close", "Stroke 1"}},
      {"arc",
       [&](IGraphics& g) { g.DrawArc(red, 5, 5, 3, -30, 60); },
       {"Clear", "Arc 5 5 3 -30 60 0", "Stroke 1"}},
      {"pie",
       [&](IGraphics& g) { g.FillArc(red, 5, 5, 3, 0, 90); },
       {"Clear", "MoveTo 5 5", "Arc 5 5 3 0 90 0", "Close", "Fill"}},
      {"circle",
       [&](IGraphics& g) { g.DrawCircle(red, 5, 5, 3); },
       {"Clear", "MoveTo 5 2", "Arc 5 5 3 0 360 0", "Close", "Stroke 1"}},
      {"ellipse",
       [&](IGraphics& g) {
         g.FillEllipse(red, {0, 0, 10, 4});
       },
       {"Clear", "MoveTo 0 -1", "Arc 0 0 1 0 360 0", "Close", "Fill"}},
      {"flat ellipse",
       [&](IGraphics& g) { g.DrawEllipseRotated(red, 5, 5, 0, 3, 45); },
       {"Clear", "Stroke 1"}},
      {"polygon",
       [&](IGraphics& g) { g.FillConvexPolygon(red, xs, ys, 3); },
       {"Clear", "MoveTo 0 0", "LineTo 10 0", "LineTo 5 8", "Close", "Fill"}},
      {"grid",
       [&](IGraphics& g) {
         g.DrawGrid(red, {0, 0, 10, 10}, 4, 1);
       },
       {"Clear", "MoveTo 4 0", "LineTo 4 10", "MoveTo 8 0", "LineTo 8 10", "Stroke 1"}},
      {"empty grid",
       [&](IGraphics& g) {
         g.DrawGrid(red, {0, 0, 10, 10}, 1, 0.5f);
       },
       {"Clear", "Stroke 1"}},
      {"data",
       [&](IGraphics& g) {
         g.DrawData(red, {0, 0, 10, 10}, data, 3);
       },
       {"Clear", "MoveTo 0 10", "LineTo 5 5", "LineTo 10 0", "Stroke 1"}},
      {"filled data",
       [&](IGraphics& g) {
         g.DrawData(red, {0, 0, 10, 10}, data, 3, nullptr, nullptr, 1, &red);
       },
       {"Clear", "MoveTo 0 10", "LineTo 5 5", "LineTo 10 0", "Fill", "Stroke 1"}},
      {"no data",
       [&](IGraphics& g) {
         g.DrawData(red, {0, 0, 10, 10}, data, 0);
       },
       {}},
  };
  for (const Case& c : cases) {
    Canvas canvas;
    c.draw(canvas.g);
    EXPECT_EQ(PathOps(canvas.g), c.path) << c.name;
    for (const DrawCall& call : canvas.g.CallsNamed({"PathStroke", "PathFill"})) {
      EXPECT_EQ(call.pattern.type, EPatternType::Solid) << c.name;
      EXPECT_EQ(call.pattern.GetStop0(), red) << c.name;
      EXPECT_FLOAT_EQ(call.stroke.miterLimit, 10.f) << c.name;
    }
    EXPECT_EQ(canvas.g.GetTransform(), ITransform()) << c.name;
  }
}

TEST(DrawingInterface, EllipsesAndBlendsReachTheBackEnd) {
  Canvas c;
  const IBlend half{0, 0.5f};
  c.g.FillEllipse(IColor(), {0, 0, 10, 4}, &half);
  const auto moves = c.g.CallsNamed({"PathMoveTo"});
  ASSERT_EQ(moves.size(), 1u);
  // The unit circle is drawn through a transform onto the ellipse.
  EXPECT_EQ(moves[0].transform, ITransform(5, 0, 0, 2, 5, 2));
  const auto fill = c.g.CallsNamed({"PathFill"});
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_TRUE(fill[0].hasBlend);
  EXPECT_FLOAT_EQ(fill[0].blend.weight, 0.5f);
  EXPECT_EQ(fill[0].fill.rule, EFillRule::NonZero);
  EXPECT_FALSE(fill[0].fill.preserve);
}

TEST(DrawingInterface, TransformStackEdges) {
  Canvas c;
  c.g.PathTransformRestore();
  EXPECT_TRUE(c.g.Calls().empty());

  c.g.PathTransformTranslate(3, 4);
  c.g.PathTransformSave();
  c.g.PathTransformScale(2, 2);
  c.g.PathEllipse(0, 0, 0, 5); // adds nothing, keeps the stack
  c.g.PathTransformRestore();
  EXPECT_EQ(c.g.GetTransform(), ITransform(1, 0, 0, 1, 3, 4));
  c.g.PathTransformReset(true);
  c.g.ClearCalls();
  c.g.PathTransformRestore();
  EXPECT_TRUE(c.g.Calls().empty());
}

const char kShapesSVG[] =
    "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='50'>"
    "<path d='M0 0 H100 V50 H0 Z M30 10 H70 V40 H30 Z' fill='#00ff00' stroke='#0000ff'"
    " stroke-width='3' stroke-linejoin='round' stroke-linecap='square'/></svg>";

TEST(DrawingInterface, SVGIsScaledIntoItsBoundsWithHoles) {
  Canvas c;
  const ISVG svg = c.g.LoadSVGFromData("shapes", kShapesSVG, sizeof(kShapesSVG) - 1);
  ASSERT_TRUE(svg.IsValid());
  c.g.DrawSVG(svg, {0, 0, 200, 200});

  const auto moves = c.g.CallsNamed({"PathMoveTo", "PathCubicBezierTo"});
  ASSERT_FALSE(moves.empty());
  for (const DrawCall& call : moves) {
    EXPECT_EQ(call.transform, ITransform(2, 0, 0, 2, 0, 0));
    for (size_t i = 0; i + 1 < call.args.size(); i += 2) {
      double x = call.args[i], y = call.args[i + 1];
      call.transform.TransformPoint(x, y);
      // Aspect kept, top-left: the lower half of the bounds stays empty.
      EXPECT_TRUE(x >= 0 && x <= 200 && y >= 0 && y <= 100) << x << "," << y;
    }
  }
  // Each outline's winding follows it; only the inner one is a hole.
  std::vector<std::pair<float, float>> startAndWinding;
  for (const DrawCall& call : c.g.CallsNamed({"PathMoveTo", "PathSetWinding"})) {
    if (call.op == "PathMoveTo")
      startAndWinding.push_back({call.args[0], -1.f});
    else
      startAndWinding.back().second = call.args[0];
  }
  std::sort(startAndWinding.begin(), startAndWinding.end());
  EXPECT_EQ(startAndWinding, (std::vector<std::pair<float, float>>{{0.f, 0.f}, {30.f, 1.f}}));

  const auto fills = c.g.CallsNamed({"PathFill"});
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].pattern.GetStop0(), IColor(255, 0, 255, 0));
  EXPECT_EQ(fills[0].fill.rule, EFillRule::Preserve);
  EXPECT_TRUE(fills[0].fill.preserve);
  const auto strokes = c.g.CallsNamed({"PathStroke"});
  ASSERT_EQ(strokes.size(), 1u);
  EXPECT_EQ(strokes[0].args[0], 3.f);
  EXPECT_EQ(strokes[0].stroke.join, ELineJoin::Round);
  EXPECT_EQ(strokes[0].stroke.cap, ELineCap::Square);
  EXPECT_EQ(strokes[0].pattern.GetStop0(), IColor(255, 0, 0, 255));
  EXPECT_EQ(c.g.GetTransform(), ITransform());

  c.g.ClearCalls();
  const IColor override(255, 1, 2, 3);
  c.g.DrawSVG(svg, {0, 0, 10, 10}, nullptr, nullptr, &override);
  EXPECT_EQ(c.g.CallsNamed({"PathFill"})[0].pattern.GetStop0(), override);
}

TEST(DrawingInterface, SVGPaintsBecomePatterns) {
  NSVGpaint colour{};
  colour.type = NSVG_PAINT_COLOR;
  colour.color = 0x80332211u; // alpha byte 0x80: not used
  const IPattern solid = IGraphics::PatternFromSVGPaint(colour, 1.f);
  EXPECT_EQ(solid.GetStop0(), IColor(255, 0x11, 0x22, 0x33));
  EXPECT_EQ(IGraphics::PatternFromSVGPaint(colour, 0.5f).GetStop0().A, 128);
  EXPECT_EQ(IGraphics::PatternFromSVGPaint(colour, 7.f).GetStop0().A, 255);

  const int nStops = 20;
  auto* gradient = static_cast<NSVGgradient*>(
      std::calloc(1, sizeof(NSVGgradient) + sizeof(NSVGgradientStop) * (nStops - 1)));
  gradient->nstops = nStops;
  gradient->spread = NSVG_SPREAD_REFLECT;
  const float xform[6] = {1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 6; ++i) gradient->xform[i] = xform[i];
  for (int i = 0; i < nStops; ++i)
    gradient->stops[i] = {0x10000000u | static_cast<unsigned>(i), i / 20.f};
  NSVGpaint radial{};
  radial.type = NSVG_PAINT_RADIAL_GRADIENT;
  radial.gradient = gradient;
  const IPattern p = IGraphics::PatternFromSVGPaint(radial, 0.1f);
  std::free(gradient);
  EXPECT_EQ(p.type, EPatternType::Radial);
  EXPECT_EQ(p.extend, EPatternExtend::Reflect);
  EXPECT_EQ(p.nStops, 16);
  EXPECT_EQ(p.stops[15].color, IColor(255, 15, 0, 0));
  EXPECT_EQ(p.transform, ITransform(1, 2, 3, 4, 5, 6));

  NSVGpaint odd{};
  odd.type = NSVG_PAINT_UNDEF;
  EXPECT_EQ(IGraphics::PatternFromSVGPaint(odd, 1.f).GetStop0(), IColor(255, 0, 0, 0));
}

TEST(DrawingInterface, RotatedTextIsPlacedByItsAlignment) {
  Canvas c;
  const IRect bounds(10, 10, 110, 30);
  struct Case {
    EAlign align;
    EVAlign valign;
    IRect expected;
  } cases[] = {
      {EAlign::Near, EVAlign::Middle, {10, 6, 24, 34}},
      {EAlign::Far, EVAlign::Top, {96, 10, 110, 38}},
      {EAlign::Center, EVAlign::Bottom, {53, 2, 67, 30}},
  };
  for (const Case& k : cases) {
    const ITextStyle style(14.f, IColor(), nullptr, k.align, k.valign, 90.f);
    IRect measured = bounds;
    c.g.MeasureText(style, "abcd", measured);
    EXPECT_NEAR(measured.L, k.expected.L, 1e-4);
    EXPECT_NEAR(measured.T, k.expected.T, 1e-4);
    EXPECT_NEAR(measured.R, k.expected.R, 1e-4);
    EXPECT_NEAR(measured.B, k.expected.B, 1e-4);
  }

  IRect unrotated = bounds;
  c.g.ApplyTextRotationOffset(ITextStyle(), bounds, unrotated);
  EXPECT_EQ(unrotated, bounds);

  IRect empty = bounds;
  EXPECT_EQ(c.g.MeasureText(ITextStyle(), "", empty), 0.f);
  EXPECT_TRUE(empty.Empty());
  c.g.DrawText(ITextStyle(), "", bounds);
  c.g.DrawText(ITextStyle(), nullptr, bounds);
  EXPECT_TRUE(c.g.Calls().empty());
  c.g.DrawText(ITextStyle(), "hi", bounds);
  ASSERT_EQ(c.g.Calls().size(), 1u);
  EXPECT_EQ(c.g.Calls()[0].text, "hi");
}

} // namespace
} // namespace plugkit::igraphics
