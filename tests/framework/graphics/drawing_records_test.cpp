#include "framework/graphics/ipattern.h"
#include "framework/graphics/irect.h"
#include "framework/graphics/itransform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plugkit::igraphics {
namespace {

TEST(IRect, PointContainment) {
  struct Case {
    IRect r;
    float x, y;
    bool inside;
  } cases[] = {
      {{0, 0, 0, 0}, 0, 0, false},    {{0, 0, 0, 0}, 1, 1, false},
      {{0, 0, 10, 10}, 0, 0, true},   {{0, 0, 10, 10}, 10, 5, false},
      {{0, 0, 10, 10}, 5, 10, false}, {{0, 0, 10, 10}, 9.99f, 9.99f, true},
      {{10, 0, 0, 10}, 5, 5, false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.r.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST(IRect, IntersectionUnionAndMerging) {
  const IRect a(0, 0, 10, 10);
  const IRect b(10, 0, 20, 10);
  // One-sided at touching edges: a reaches b, b does not reach a.
  EXPECT_TRUE(a.Intersects(b));
  EXPECT_EQ(a.Intersect(b), IRect(10, 0, 10, 10));
  EXPECT_FALSE(b.Intersects(a));
  EXPECT_TRUE(b.Intersect(a).Empty());
  EXPECT_FALSE(IRect().Intersects(a));
  EXPECT_FALSE(a.Intersects(IRect()));

  EXPECT_EQ(IRect().Union(IRect(5, 5, 6, 6)), IRect(5, 5, 6, 6));
  EXPECT_EQ(IRect(5, 5, 6, 6).Union(IRect()), IRect(5, 5, 6, 6));
  EXPECT_EQ(IRect(0, 0, 2, 2).Union(IRect(5, 5, 6, 6)), IRect(0, 0, 6, 6));

  EXPECT_FALSE(IRect().Contains(IRect()));
  EXPECT_TRUE(a.Contains(IRect(0, 0, 10, 10)));
  EXPECT_FALSE(a.Contains(IRect(0, 0, 10, 10.5f)));

  struct Case {
    IRect p, q;
    bool mergeable;
  } cases[] = {
      {{0, 0, 10, 5}, {0, 5, 10, 9}, true},  {{0, 0, 10, 5}, {1, 5, 10, 9}, false},
      {{0, 0, 10, 5}, {0, 6, 10, 9}, false}, {{0, 0, 5, 10}, {5, 0, 9, 10}, true},
      {{0, 0, 5, 10}, {2, 0, 9, 10}, true},  {{}, {1, 2, 3, 4}, true},
      {{0, 0, 5, 10}, {6, 0, 9, 10}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.p.Mergeable(c.q), c.mergeable);
    EXPECT_EQ(c.q.Mergeable(c.p), c.mergeable);
  }
}

TEST(IRect, PixelAlignmentAtEachScale) {
  const IRect dirty(9.25f, 9.25f, 20.75f, 20.75f);
  struct Case {
    float scale;
    float l, r; // expected device pixels
  } cases[] = {{1.f, 9, 21}, {1.25f, 11, 26}, {1.5f, 13, 32}, {2.f, 18, 42}};
  for (const Case& c : cases) {
    const IRect aligned = dirty.GetPixelAligned(c.scale);
    EXPECT_FLOAT_EQ(aligned.L * c.scale, c.l) << c.scale;
    EXPECT_FLOAT_EQ(aligned.T * c.scale, c.l) << c.scale;
    EXPECT_FLOAT_EQ(aligned.R * c.scale, c.r) << c.scale;
    EXPECT_FLOAT_EQ(aligned.B * c.scale, c.r) << c.scale;
  }
  EXPECT_EQ(dirty.GetPixelAligned(2.f), IRect(9, 9, 21, 21));
  EXPECT_EQ(IRect(10, 10, 20, 20).GetAlignedOutward(1.f, 0.75f), IRect(9, 9, 21, 21));
}

TEST(IPattern, GradientStopsAndTransform) {
  IPattern solid(IColor(255, 1, 2, 3));
  EXPECT_EQ(solid.type, EPatternType::Solid);
  EXPECT_EQ(solid.nStops, 1);
  EXPECT_EQ(solid.GetStop0(), IColor(255, 1, 2, 3));

  IPattern many = IPattern::CreateLinearGradient(0, 0, 1, 1, {});
  for (int i = 0; i < 20; ++i) many.AddStop(IColor(255, i, 0, 0), i / 20.f);
  EXPECT_EQ(many.nStops, 16);
  EXPECT_EQ(many.stops[15].color.R, 15);
  many.AddStop(IColor(255, 99, 0, 0), 1.f);
  EXPECT_EQ(many.nStops, 16);

  // The gradient's own space runs from (x1, y1) at 0 to (x2, y2) at 1
  // along its y axis, for every direction.
  const float ends[][4] = {{0, 0, 0, 10}, {3, 4, 13, 4}, {5, 5, -5, -15}, {1, 2, 3, 4}};
  for (const auto& e : ends) {
    const IPattern g = IPattern::CreateLinearGradient(e[0], e[1], e[2], e[3], {});
    double x = e[0], y = e[1];
    g.transform.TransformPoint(x, y);
    EXPECT_NEAR(x, 0.0, 1e-9);
    EXPECT_NEAR(y, 0.0, 1e-9);
    x = e[2];
    y = e[3];
    g.transform.TransformPoint(x, y);
    EXPECT_NEAR(x, 0.0, 1e-9);
    EXPECT_NEAR(y, 1.0, 1e-9);
  }
}

TEST(ITransform, StepsApplyInTheShapesOwnCoordinates) {
  ITransform t;
  t.Rotate(90);
  double x = 1, y = 0;
  t.TransformPoint(x, y);
  EXPECT_NEAR(x, 0.0, 1e-6);
  EXPECT_NEAR(y, 1.0, 1e-6);

  // Translate then scale: the scale acts first on the point.
  ITransform ts;
  ts.Translate(10, 20).Scale(2, 3);
  x = 1;
  y = 1;
  ts.TransformPoint(x, y);
  EXPECT_DOUBLE_EQ(x, 12.0);
  EXPECT_DOUBLE_EQ(y, 23.0);
}

} // namespace
} // namespace plugkit::igraphics
