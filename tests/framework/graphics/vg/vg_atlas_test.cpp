#include "framework/graphics/vg/vg_atlas.h"

#include <array>
#include <random>
#include <utility>

#include <gtest/gtest.h>

namespace plugkit::igraphics {
namespace {

TEST(VgAtlas, SquaresFillRowByRowUntilNoStepHasRoomAndResetStartsOver) {
  VgAtlas atlas;
  ASSERT_TRUE(VgAtlasInit(atlas, 512, 512));
  // 12 squares of 40 fit in a row of 512, and 12 rows in its height.
  for (int i = 0; i < 144; ++i) {
    int x = -1, y = -1;
    ASSERT_TRUE(VgAtlasAddRect(atlas, 40, 40, &x, &y)) << i;
    ASSERT_EQ(x, (i % 12) * 40) << i;
    ASSERT_EQ(y, (i / 12) * 40) << i;
  }
  int x = 7, y = 7;
  EXPECT_FALSE(VgAtlasAddRect(atlas, 40, 40, &x, &y));
  EXPECT_EQ(x, 7);
  EXPECT_TRUE(VgAtlasAddRect(atlas, 32, 40, &x, &y)); // the strip left on the right
  EXPECT_EQ(x, 480);
  for (const auto& size : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 4}}) {
    EXPECT_FALSE(VgAtlasAddRect(atlas, size.first, size.second, &x, &y));
  }
  ASSERT_TRUE(VgAtlasInit(atlas, 1024, 512));
  ASSERT_EQ(atlas.nodes.size(), 1u);
  int placed = 0;
  while (VgAtlasAddRect(atlas, 40, 40, &x, &y)) ++placed;
  EXPECT_EQ(placed, 25 * 12);
  EXPECT_FALSE(VgAtlasInit(atlas, 0, 32));
  EXPECT_FALSE(VgAtlasInit(atlas, 64, 40000));
}

TEST(VgAtlas, RandomRectanglesStayInsideNeverOverlapAndKeepTheSkylineWhole) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> side(1, 60);
  for (int round = 0; round < 20; ++round) {
    VgAtlas atlas;
    ASSERT_TRUE(VgAtlasInit(atlas, 256, 256));
    std::vector<std::array<int, 4>> placed;
    for (int i = 0; i < 200; ++i) {
      const int w = side(random), h = side(random);
      int x, y;
      if (!VgAtlasAddRect(atlas, w, h, &x, &y)) continue;
      ASSERT_TRUE(x >= 0 && y >= 0 && x + w <= 256 && y + h <= 256);
      for (const auto& o : placed) {
        ASSERT_FALSE(x < o[0] + o[2] && o[0] < x + w && y < o[1] + o[3] && o[1] < y + h);
      }
      placed.push_back({x, y, w, h});
    }
    EXPECT_GT(placed.size(), 20u);
    // Steps run left to right over the whole width; equal neighbours merge.
    int covered = 0;
    for (size_t i = 0; i < atlas.nodes.size(); ++i) {
      EXPECT_EQ(atlas.nodes[i].x, covered);
      if (i > 0) {
        EXPECT_NE(atlas.nodes[i].y, atlas.nodes[i - 1].y);
      }
      covered += atlas.nodes[i].width;
    }
    EXPECT_EQ(covered, 256);
  }
}

} // namespace
} // namespace plugkit::igraphics
