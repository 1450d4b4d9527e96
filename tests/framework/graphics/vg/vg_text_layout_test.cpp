#include "framework/graphics/vg/vg_text_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/framework/graphics/vg/vg_test_font.h"

namespace plugkit::igraphics {
namespace {

using namespace test;

// Roboto's ascent, descent and line gap from its own "hhea" table.
struct Metrics {
  float ascent, descent, gap;
  float Height() const { return ascent - descent; }
};
Metrics RobotoMetrics() {
  const size_t hhea = TableOffset(RobotoBytes(), "hhea");
  return {static_cast<float>(ReadI16(RobotoBytes(), hhea + 4)),
          static_cast<float>(ReadI16(RobotoBytes(), hhea + 6)),
          static_cast<float>(ReadI16(RobotoBytes(), hhea + 8))};
}

class VgTextLayoutTest : public testing::TestWithParam<uint8_t> {
protected:
  void SetUp() override {
    ASSERT_FALSE(RobotoBytes().empty()) << "cannot read " << TARVEX_TEST_FONT;
    cache = RobotoCache(GetParam());
    ASSERT_TRUE(cache);
  }
  VgGlyphState& State() { return VgGlyphCacheState(cache.get()); }
  float Advance(const char* text, float* bounds = nullptr, float x = 0, float y = 0) {
    return VgTextBounds(cache.get(), x, y, text, nullptr, bounds);
  }
  std::vector<VgQuad> Quads(const char* text, const char* end = nullptr) {
    std::vector<VgQuad> quads;
    VgTextIter iter;
    VgQuad q;
    if (!VgTextIterInit(cache.get(), &iter, 5, 0, text, end, kVgGlyphBitmapRequired)) return quads;
    while (VgTextIterNext(&iter, &q)) {
      EXPECT_NE(iter.glyph, nullptr) << text;
      quads.push_back(q);
    }
    return quads;
  }
  CachePtr cache;
};

TEST_P(VgTextLayoutTest, AdvancesFollowRobotosAdvancesAndKerning) {
  const stbtt_fontinfo info = RobotoInfo();
  for (const char* text : {"Tarvex", "AVAWAY", "Hello, world", "0123456789", "LT P, fi"}) {
    for (float size : {9.0f, 16.55f, 40.0f, 96.0f}) {
      State().size = size;
      // Each advance is kept in tenths of a pixel and placed on whole
      // pixels, as is each kerning pair.
      const float scale = std::trunc(size * 10) / 10 / RobotoMetrics().Height();
      float pen = 0, units = 0;
      for (const char* c = text; *c; ++c) {
        const int glyph = stbtt_FindGlyphIndex(&info, *c);
        if (c != text) {
          const int kern =
              stbtt_GetGlyphKernAdvance(&info, stbtt_FindGlyphIndex(&info, c[-1]), glyph);
          pen += std::trunc(static_cast<float>(kern) * scale + 0.5f);
          units += static_cast<float>(kern);
        }
        int advance, bearing;
        stbtt_GetGlyphHMetrics(&info, glyph, &advance, &bearing);
        pen += std::trunc(static_cast<int16_t>(static_cast<float>(advance) * scale * 10) / 10.0f +
                          0.5f);
        units += static_cast<float>(advance);
      }
      EXPECT_EQ(Advance(text), pen) << text << " at " << size;
      EXPECT_NEAR(Advance(text), units * scale, std::strlen(text)) << text << " at " << size;
    }
  }
  State().size = 50.0f;
  const float kern = static_cast<float>(stbtt_GetCodepointKernAdvance(&info, 'L', 'T')) * 50 / 2400;
  ASSERT_LT(kern, -3.0f);
  for (float spacing : {0.0f, 4.0f, -2.5f}) {
    State().spacing = spacing; // between glyphs only, rounded with the kerning
    EXPECT_EQ(Advance("LT"), Advance("L") + Advance("T") + std::trunc(kern + spacing + 0.5f));
  }
}

TEST_P(VgTextLayoutTest, VerticalAlignmentAndLineBoundsUseRobotosAscentAndDescent) {
  const Metrics m = RobotoMetrics();
  const float size = 30.0f, sign = GetParam() ? 1.0f : -1.0f;
  State().size = size;
  const struct {
    int align;
    float baseline; // below the anchor, y growing downward
  } cases[] = {{kVgAlignTop, m.ascent}, {kVgAlignMiddle, (m.ascent + m.descent) / 2},
               {kVgAlignBaseline, 0},   {kVgAlignBottom, m.descent},
               {kVgAlignLeft, 0},       {kVgAlignTop | kVgAlignBottom, m.ascent}};
  for (const auto& c : cases) {
    const float offset = c.baseline / m.Height() * size;
    EXPECT_FLOAT_EQ(
        VgGlyphCacheVerticalAlign(cache.get(), VgGlyphCacheFont(cache.get(), 0), c.align, 300),
        sign * offset);
    State().align = kVgAlignLeft | c.align;
    float miny = 0, maxy = 0;
    ASSERT_TRUE(VgTextLineBounds(cache.get(), 100.0f, &miny, &maxy));
    EXPECT_NEAR(maxy - miny, (m.Height() + m.gap) / m.Height() * size, 1e-4f);
    if (GetParam()) {
      EXPECT_NEAR(miny, 100.0f + offset - m.ascent / m.Height() * size, 1e-4f) << c.align;
    } else {
      EXPECT_NEAR(maxy, 100.0f - offset + m.descent / m.Height() * size, 1e-4f) << c.align;
    }
  }
}

TEST_P(VgTextLayoutTest, BoundsHoldTheInkAndFollowTheHorizontalAlignment) {
  const stbtt_fontinfo info = RobotoInfo();
  const float scale = 24.0f / RobotoMetrics().Height();
  State().size = 24.0f;
  float b[4], centred[4], right[4];
  const float advance = Advance("Hg", b, 10, 50);
  int hx0, hy0, hx1, hy1, gx0, gy0, gx1, gy1;
  stbtt_GetCodepointBitmapBox(&info, 'H', scale, scale, &hx0, &hy0, &hx1, &hy1);
  stbtt_GetCodepointBitmapBox(&info, 'g', scale, scale, &gx0, &gy0, &gx1, &gy1);
  // One pixel of the cleared frame stays around the ink.
  EXPECT_EQ(b[0], 10.0f + hx0 - 1);
  const float top = static_cast<float>(std::min(hy0, gy0) - 1);
  const float bottom = static_cast<float>(std::max(hy1, gy1) + 1);
  EXPECT_EQ(b[1], GetParam() ? 50 + top : 50 - bottom);
  EXPECT_EQ(b[3], GetParam() ? 50 + bottom : 50 - top);
  State().align = kVgAlignCenter | kVgAlignBaseline;
  EXPECT_EQ(Advance("Hg", centred, 10, 50), advance);
  State().align = kVgAlignRight | kVgAlignBaseline;
  Advance("Hg", right, 10, 50);
  for (int i : {0, 2}) {
    EXPECT_FLOAT_EQ(centred[i], b[i] - advance / 2);
    EXPECT_FLOAT_EQ(right[i], b[i] - advance);
  }
  // Drawn quads sit where measuring puts them, right alignment included.
  const std::vector<VgQuad> quads = Quads("Hg");
  ASSERT_EQ(quads.size(), 2u);
  EXPECT_EQ(quads[0].x0, right[0] - 5);
  EXPECT_EQ(quads[1].x1, right[2] - 5);
  EXPECT_NEAR((quads[1].s1 - quads[1].s0) * 512, quads[1].x1 - quads[1].x0, 1e-3f);
}

TEST_P(VgTextLayoutTest, InvalidOrCutOffBytesEndTheTextWithoutRepeatingAGlyph) {
  State().size = 16.0f;
  const float prefix = Advance("Tar");
  for (const std::string text : {"Tar\xFFvex", "Tar\xED\xA0\x80vex", "Tar\xE2\x82", "Tar\x80"}) {
    EXPECT_EQ(Advance(text.c_str()), prefix) << testing::PrintToString(text);
    EXPECT_EQ(Quads(text.c_str()).size(), 3u) << testing::PrintToString(text);
  }
  const char* text = "Tarvex";
  EXPECT_EQ(VgTextBounds(cache.get(), 0, 0, text, text + 3, nullptr), prefix);
  EXPECT_EQ(Quads(text, text + 3).size(), 3u);
}

TEST_P(VgTextLayoutTest, OnlyAFullAtlasAsksForAnotherAndTheStepCanBeRetried) {
  ASSERT_TRUE(VgGlyphCacheResetAtlas(cache.get(), 64, 64));
  State().size = 30.0f;
  VgTextIter iter, before;
  VgQuad q;
  ASSERT_TRUE(
      VgTextIterInit(cache.get(), &iter, 0, 0, "ABCDEFGH", nullptr, kVgGlyphBitmapRequired));
  do before = iter;
  while (VgTextIterNext(&iter, &q) && !iter.atlasFull);
  ASSERT_TRUE(iter.atlasFull);
  EXPECT_EQ(q.x1, 0.0f);
  ASSERT_TRUE(VgGlyphCacheResetAtlas(cache.get(), 256, 256));
  const uint32_t missed = iter.codepoint;
  iter = before;
  ASSERT_TRUE(VgTextIterNext(&iter, &q));
  EXPECT_NE(iter.glyph, nullptr);
  EXPECT_EQ(iter.codepoint, missed);
  // Sizes no atlas serves (too small, or glyphs beyond the largest atlas)
  // leave glyphs out without asking for another atlas.
  for (float size : {0.1f, -5.0f, std::nanf(""), 1e9f, 3000.0f}) {
    State().size = size;
    ASSERT_TRUE(VgTextIterInit(cache.get(), &iter, 0, 0, "(|", nullptr, kVgGlyphBitmapRequired));
    for (int step = 0; step < 2; ++step) {
      ASSERT_TRUE(VgTextIterNext(&iter, &q));
      EXPECT_TRUE(iter.glyph == nullptr && !iter.atlasFull) << size;
    }
    EXPECT_FALSE(VgTextIterNext(&iter, &q));
  }
  EXPECT_GT(Advance("a"), 0.0f); // still measured at the largest size
  State().font = 3;
  float miny = 7, maxy = 7;
  EXPECT_EQ(Advance("abc"), 0.0f);
  EXPECT_FALSE(VgTextLineBounds(cache.get(), 0, &miny, &maxy));
  EXPECT_FALSE(VgTextIterInit(cache.get(), &iter, 0, 0, "abc", nullptr, kVgGlyphBitmapRequired));
}

INSTANTIATE_TEST_SUITE_P(Origins, VgTextLayoutTest,
                         testing::Values(kVgGlyphCacheOriginTopLeft, uint8_t{0}),
                         [](const testing::TestParamInfo<uint8_t>& param) {
                           return param.param ? "TopLeft" : "BottomLeft";
                         });

} // namespace
} // namespace plugkit::igraphics
