#include "framework/graphics/vg/vg_atlas.h"

#include <random>

#include <gtest/gtest.h>

namespace plugkit::igraphics {
namespace {

struct Placed {
  int x, y, w, h;
};

bool Overlap(const Placed& a, const Placed& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// The skyline always covers the whole width with steps in order.
void ExpectSkylineCoversWidth(const VgAtlas& atlas) {
  int x = 0;
  for (const VgAtlasNode& node : atlas.nodes) {
    EXPECT_EQ(node.x, x);
    EXPECT_GT(node.width, 0);
    x += node.width;
  }
  EXPECT_EQ(x, atlas.width);
}

TEST(VgAtlas, SquaresFillRowByRowUntilNoStepHasRoom) {
  VgAtlas atlas;
  ASSERT_TRUE(VgAtlasInit(atlas, 512, 512));
  // 12 squares of 40 fit in a row of 512 and 12 rows in its height.
  for (int i = 0; i < 144; ++i) {
    int x = -1, y = -1;
    ASSERT_TRUE(VgAtlasAddRect(atlas, 40, 40, &x, &y)) << i;
    EXPECT_EQ(x, (i % 12) * 40) << i;
    EXPECT_EQ(y, (i / 12) * 40) << i;
  }
  const std::vector<VgAtlasNode> before = atlas.nodes;
  int x = 7, y = 7;
  EXPECT_FALSE(VgAtlasAddRect(atlas, 40, 40, &x, &y));
  EXPECT_EQ(x, 7);
  EXPECT_EQ(atlas.nodes.size(), before.size());
  // The strip left over on the right still takes a narrow rectangle.
  EXPECT_TRUE(VgAtlasAddRect(atlas, 32, 40, &x, &y));
  EXPECT_EQ(x, 480);
  EXPECT_EQ(y, 0);
  ExpectSkylineCoversWidth(atlas);
}

TEST(VgAtlas, StepsAtOneHeightMerge) {
  VgAtlas atlas;
  ASSERT_TRUE(VgAtlasInit(atlas, 512, 512));
  int x, y;
  ASSERT_TRUE(VgAtlasAddRect(atlas, 100, 10, &x, &y));
  ASSERT_TRUE(VgAtlasAddRect(atlas, 100, 10, &x, &y));
  ASSERT_EQ(atlas.nodes.size(), 2u);
  EXPECT_EQ(atlas.nodes[0].width, 200);
  EXPECT_EQ(atlas.nodes[0].y, 10);
  // The lowest step wins: the free rest at y 0 takes the next rectangle.
  ASSERT_TRUE(VgAtlasAddRect(atlas, 50, 20, &x, &y));
  EXPECT_EQ(x, 200);
  EXPECT_EQ(y, 0);
  ExpectSkylineCoversWidth(atlas);
}

TEST(VgAtlas, RefusesRectanglesThatCannotFit) {
  VgAtlas atlas;
  ASSERT_TRUE(VgAtlasInit(atlas, 64, 32));
  int x, y;
  const int sizes[][2] = {{65, 1}, {1, 33}, {0, 5}, {5, 0}, {-3, 4}};
  for (const auto& size : sizes) {
    EXPECT_FALSE(VgAtlasAddRect(atlas, size[0], size[1], &x, &y)) << size[0] << "x" << size[1];
  }
  EXPECT_TRUE(VgAtlasAddRect(atlas, 64, 32, &x, &y));
  EXPECT_FALSE(VgAtlasAddRect(atlas, 1, 1, &x, &y));
  EXPECT_FALSE(VgAtlasInit(atlas, 0, 32));
  EXPECT_FALSE(VgAtlasInit(atlas, 64, 40000));
}

TEST(VgAtlas, ResetStartsOverAndALargerAtlasTakesMore) {
  VgAtlas atlas;
  ASSERT_TRUE(VgAtlasInit(atlas, 128, 128));
  int x, y, placed = 0;
  while (VgAtlasAddRect(atlas, 30, 30, &x, &y)) ++placed;
  EXPECT_EQ(placed, 16);
  ASSERT_TRUE(VgAtlasInit(atlas, 256, 128));
  ASSERT_EQ(atlas.nodes.size(), 1u);
  placed = 0;
  while (VgAtlasAddRect(atlas, 30, 30, &x, &y)) ++placed;
  EXPECT_EQ(placed, 32);
}

TEST(VgAtlas, RandomRectanglesStayInsideAndNeverOverlap) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> side(1, 60);
  for (int round = 0; round < 20; ++round) {
    VgAtlas atlas;
    ASSERT_TRUE(VgAtlasInit(atlas, 256, 256));
    std::vector<Placed> placed;
    for (int i = 0; i < 200; ++i) {
      const int w = side(random);
      const int h = side(random);
      int x, y;
      if (!VgAtlasAddRect(atlas, w, h, &x, &y)) continue;
      const Placed rect{x, y, w, h};
      EXPECT_TRUE(x >= 0 && y >= 0 && x + w <= 256 && y + h <= 256);
      for (const Placed& other : placed) EXPECT_FALSE(Overlap(rect, other));
      placed.push_back(rect);
    }
    EXPECT_GT(placed.size(), 20u);
    ExpectSkylineCoversWidth(atlas);
  }
}

} // namespace
} // namespace plugkit::igraphics
