#include "framework/graphics/igraphics.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace plugkit::igraphics {
namespace {

std::vector<IRect> Optimised(std::initializer_list<IRect> input) {
  IRectList list;
  for (const IRect& r : input) list.Add(r);
  IGraphics::OptimiseRectList(list);
  std::vector<IRect> out;
  for (int i = 0; i < list.Size(); ++i) out.push_back(list.Get(i));
  return out;
}

bool Covered(const std::vector<IRect>& rects, float x, float y) {
  for (const IRect& r : rects) {
    if (r.Contains(x, y)) return true;
  }
  return false;
}

TEST(OptimiseRectList, Examples) {
  struct Case {
    std::initializer_list<IRect> input;
    std::vector<IRect> expected;
  };
  const Case cases[] = {
      {{{0, 0, 10, 10}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
      {{{0, 0, 10, 10}, {5, 0, 15, 10}}, {{0, 0, 15, 10}}},
      {{{0, 0, 10, 10}, {2, 2, 4, 4}}, {{0, 0, 10, 10}}},
      {{{2, 2, 4, 4}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
      // The second is split: a band right of the overlap is appended and
      // the rest below it replaces the second.
      {{{0, 0, 10, 10}, {5, 5, 15, 15}}, {{0, 0, 10, 10}, {5, 10, 15, 15}, {10, 5, 15, 10}}},
      // A strip across the middle: both sides of the first stay dirty.
      {{{0, 0, 10, 10}, {4, -2, 6, 12}}, {{0, 0, 4, 10}, {4, -2, 6, 12}, {6, 0, 10, 10}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Optimised(c.input), c.expected);
}

// Whatever the list, the result covers exactly the area of the input: no
// dirty area is lost and none is added.
TEST(OptimiseRectList, KeepsTheUnionOfRandomLists) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> coord(0, 16);
  std::uniform_int_distribution<int> count(1, 7);
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<IRect> input;
    IRectList list;
    for (int n = count(rng); n > 0; --n) {
      const int l = coord(rng), t = coord(rng);
      const IRect r(static_cast<float>(l), static_cast<float>(t),
                    static_cast<float>(l + 1 + coord(rng) / 2),
                    static_cast<float>(t + 1 + coord(rng) / 2));
      input.push_back(r);
      list.Add(r);
    }
    IGraphics::OptimiseRectList(list);
    std::vector<IRect> output;
    for (int i = 0; i < list.Size(); ++i) output.push_back(list.Get(i));
    for (float y = 0.5f; y < 26.f; y += 1.f) {
      for (float x = 0.5f; x < 26.f; x += 1.f) {
        ASSERT_EQ(Covered(output, x, y), Covered(input, x, y))
            << "trial " << trial << " at " << x << "," << y;
      }
    }
  }
}

} // namespace
} // namespace plugkit::igraphics
