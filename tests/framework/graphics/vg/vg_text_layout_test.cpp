#include "framework/graphics/vg/vg_text_layout.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/framework/graphics/vg/vg_test_font.h"

namespace plugkit::igraphics {
namespace {

using test::RobotoBytes;

// Roboto's vertical metrics, read from its own "hhea" table.
struct RobotoMetrics {
  float ascent, descent, lineGap;
  float Height() const { return ascent - descent; }
};

RobotoMetrics ReadRobotoMetrics() {
  const auto& bytes = RobotoBytes();
  const size_t hhea = test::TableOffset(bytes, "hhea");
  return {static_cast<float>(test::ReadI16(bytes, hhea + 4)),
          static_cast<float>(test::ReadI16(bytes, hhea + 6)),
          static_cast<float>(test::ReadI16(bytes, hhea + 8))};
}

// Pen advance of ASCII text at a size, from stb_truetype's own metrics: each
// advance rounded to tenths of a pixel and then to whole pixels, each kerning
// pair to whole pixels.
float ExpectedAdvance(const std::string& text, float size) {
  stbtt_fontinfo info;
  EXPECT_TRUE(stbtt_InitFont(&info, RobotoBytes().data(), 0));
  const float tenths = std::trunc(size * 10.0f);
  const float scale = tenths / 10.0f / ReadRobotoMetrics().Height();
  float pen = 0;
  int prev = -1;
  for (char c : text) {
    const int glyph = stbtt_FindGlyphIndex(&info, c);
    if (prev >= 0) {
      pen += std::trunc(static_cast<float>(stbtt_GetGlyphKernAdvance(&info, prev, glyph)) * scale +
                        0.5f);
    }
    int advance, bearing;
    stbtt_GetGlyphHMetrics(&info, glyph, &advance, &bearing);
    const auto advanceTenths = static_cast<int16_t>(static_cast<float>(advance) * scale * 10.0f);
    pen += std::trunc(static_cast<float>(advanceTenths) / 10.0f + 0.5f);
    prev = glyph;
  }
  return pen;
}

struct CacheDeleter {
  void operator()(VgGlyphCache* cache) const { VgGlyphCacheDelete(cache); }
};

class VgTextLayoutTest : public testing::TestWithParam<uint8_t> {
protected:
  void SetUp() override {
    ASSERT_FALSE(RobotoBytes().empty()) << "cannot read " << TARVEX_TEST_FONT;
    VgGlyphCacheParams params;
    params.flags = GetParam();
    cache.reset(VgGlyphCacheCreate(params));
    ASSERT_TRUE(cache);
    const auto& bytes = RobotoBytes();
    ASSERT_EQ(VgAddFontFromMemory(cache.get(), "Roboto", bytes.data(),
                                  static_cast<int>(bytes.size()), 0, false),
              0);
  }
  VgGlyphState& State() { return VgGlyphCacheState(cache.get()); }
  bool TopLeft() const { return GetParam() & kVgGlyphCacheOriginTopLeft; }

  std::unique_ptr<VgGlyphCache, CacheDeleter> cache;
};

TEST_P(VgTextLayoutTest, AdvancesFollowRobotosMetricsAndKerning) {
  const char* texts[] = {"Tarvex", "AVAWAY", "Hello, world", "0123456789", "fi ff Ty Yo"};
  const float sizes[] = {9.0f, 12.0f, 16.55f, 24.0f, 40.0f, 96.0f};
  const RobotoMetrics metrics = ReadRobotoMetrics();
  stbtt_fontinfo info;
  ASSERT_TRUE(stbtt_InitFont(&info, RobotoBytes().data(), 0));
  for (const char* text : texts) {
    for (float size : sizes) {
      State().size = size;
      const float advance = VgTextBounds(cache.get(), 3.0f, 0.0f, text, nullptr, nullptr);
      EXPECT_EQ(advance, ExpectedAdvance(text, size)) << text << " at " << size;
      // In font units the advance is the sum of advances and kerning, so the
      // rounded pen stays within a pixel a glyph of it.
      float units = 0;
      int prev = -1;
      for (const char* c = text; *c; ++c) {
        const int glyph = stbtt_FindGlyphIndex(&info, *c);
        int width, bearing;
        stbtt_GetGlyphHMetrics(&info, glyph, &width, &bearing);
        units += static_cast<float>(
            width + (prev >= 0 ? stbtt_GetGlyphKernAdvance(&info, prev, glyph) : 0));
        prev = glyph;
      }
      const float exact = units * std::trunc(size * 10.0f) / 10.0f / metrics.Height();
      EXPECT_NEAR(advance, exact, static_cast<float>(std::strlen(text))) << text << " at " << size;
    }
  }
}

TEST_P(VgTextLayoutTest, KerningPullsPairsTogether) {
  stbtt_fontinfo info;
  ASSERT_TRUE(stbtt_InitFont(&info, RobotoBytes().data(), 0));
  const float size = 50.0f;
  const float scale = size / ReadRobotoMetrics().Height();
  State().size = size;
  const float l = VgTextBounds(cache.get(), 0, 0, "L", nullptr, nullptr);
  const float t = VgTextBounds(cache.get(), 0, 0, "T", nullptr, nullptr);
  const float kern = static_cast<float>(stbtt_GetCodepointKernAdvance(&info, 'L', 'T')) * scale;
  ASSERT_LT(kern, -3.0f);
  const float spacings[] = {0.0f, 4.0f, -2.5f};
  for (float spacing : spacings) {
    State().spacing = spacing;
    // Kerning and spacing go between the glyphs, rounded together.
    EXPECT_EQ(VgTextBounds(cache.get(), 0, 0, "LT", nullptr, nullptr),
              l + t + std::trunc(kern + spacing + 0.5f))
        << spacing;
    EXPECT_EQ(VgTextBounds(cache.get(), 0, 0, "L", nullptr, nullptr), l) << spacing;
  }
}

TEST_P(VgTextLayoutTest, VerticalAlignmentUsesTheFontsAscenderAndDescender) {
  const RobotoMetrics m = ReadRobotoMetrics();
  const float size = 30.0f;
  State().size = size;
  const float sign = TopLeft() ? 1.0f : -1.0f;
  const struct {
    int align;
    float offset; // baseline below the anchor, top-left origin
  } cases[] = {
      {kVgAlignTop, m.ascent / m.Height() * size},
      {kVgAlignMiddle, (m.ascent + m.descent) / 2.0f / m.Height() * size},
      {kVgAlignBaseline, 0.0f},
      {kVgAlignBottom, m.descent / m.Height() * size},
      {kVgAlignLeft, 0.0f},
      {kVgAlignTop | kVgAlignBottom, m.ascent / m.Height() * size},
  };
  const VgFont* font = VgGlyphCacheFont(cache.get(), 0);
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(VgGlyphCacheVerticalAlign(cache.get(), font, c.align, 300), sign * c.offset)
        << c.align;
    State().align = kVgAlignLeft | c.align;
    float miny = 0, maxy = 0;
    ASSERT_TRUE(VgTextLineBounds(cache.get(), 100.0f, &miny, &maxy));
    const float lineHeight = (m.Height() + m.lineGap) / m.Height() * size;
    EXPECT_NEAR(maxy - miny, lineHeight, 1e-4f);
    const float baseline = 100.0f + sign * c.offset;
    if (TopLeft()) {
      EXPECT_NEAR(miny, baseline - m.ascent / m.Height() * size, 1e-4f) << c.align;
    } else {
      EXPECT_NEAR(maxy, baseline + m.descent / m.Height() * size, 1e-4f) << c.align;
    }
  }
}

TEST_P(VgTextLayoutTest, BoundsHoldTheInkOfTheGlyphs) {
  stbtt_fontinfo info;
  ASSERT_TRUE(stbtt_InitFont(&info, RobotoBytes().data(), 0));
  const float size = 24.0f;
  const float scale = size / ReadRobotoMetrics().Height();
  State().size = size;
  float b[4];
  const float advance = VgTextBounds(cache.get(), 10.0f, 50.0f, "Hg", nullptr, b);
  int hx0, hy0, hx1, hy1, gx0, gy0, gx1, gy1;
  stbtt_GetCodepointBitmapBox(&info, 'H', scale, scale, &hx0, &hy0, &hx1, &hy1);
  stbtt_GetCodepointBitmapBox(&info, 'g', scale, scale, &gx0, &gy0, &gx1, &gy1);
  // One pixel of the cleared padding frame stays around the ink.
  EXPECT_EQ(b[0], 10.0f + hx0 - 1);
  if (TopLeft()) {
    EXPECT_EQ(b[1], 50.0f + std::min(hy0, gy0) - 1);
    EXPECT_EQ(b[3], 50.0f + std::max(hy1, gy1) + 1);
  } else {
    EXPECT_EQ(b[1], 50.0f - std::max(hy1, gy1) - 1);
    EXPECT_EQ(b[3], 50.0f - std::min(hy0, gy0) + 1);
  }
  EXPECT_GT(b[2], 10.0f + advance - 8.0f);

  State().align = kVgAlignCenter | kVgAlignBaseline;
  float centred[4];
  EXPECT_EQ(VgTextBounds(cache.get(), 10.0f, 50.0f, "Hg", nullptr, centred), advance);
  EXPECT_FLOAT_EQ(centred[0], b[0] - advance / 2);
  EXPECT_FLOAT_EQ(centred[2], b[2] - advance / 2);
  State().align = kVgAlignRight | kVgAlignBaseline;
  float right[4];
  VgTextBounds(cache.get(), 10.0f, 50.0f, "Hg", nullptr, right);
  EXPECT_FLOAT_EQ(right[0], b[0] - advance);
  EXPECT_FLOAT_EQ(right[2], b[2] - advance);
}

std::vector<VgQuad> Iterate(VgGlyphCache* cache, const char* text, const char* end, float x,
                            int option = kVgGlyphBitmapRequired) {
  std::vector<VgQuad> quads;
  VgTextIter iter;
  if (!VgTextIterInit(cache, &iter, x, 0, text, end, option)) return quads;
  VgQuad q;
  while (VgTextIterNext(&iter, &q)) {
    if (iter.glyph) quads.push_back(q);
  }
  return quads;
}

TEST_P(VgTextLayoutTest, IterationPlacesGlyphsWhereMeasurementDoes) {
  State().size = 20.0f;
  const std::vector<VgQuad> quads = Iterate(cache.get(), "Wavy", nullptr, 5.0f);
  ASSERT_EQ(quads.size(), 4u);
  float b[4];
  const float advance = VgTextBounds(cache.get(), 5.0f, 0, "Wavy", nullptr, b);
  EXPECT_EQ(quads.front().x0, b[0]);
  EXPECT_EQ(quads.back().x1, b[2]);
  for (size_t i = 1; i < quads.size(); ++i) EXPECT_GT(quads[i].x0, quads[i - 1].x0);
  for (const VgQuad& q : quads) {
    EXPECT_GT(q.s1, q.s0);
    EXPECT_GT(q.t1, q.t0);
    EXPECT_NEAR((q.s1 - q.s0) * 512.0f, q.x1 - q.x0, 1e-3f);
  }
  // Right alignment moves every quad left by the advance.
  State().align = kVgAlignRight | kVgAlignBaseline;
  const std::vector<VgQuad> shifted = Iterate(cache.get(), "Wavy", nullptr, 5.0f);
  ASSERT_EQ(shifted.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(shifted[i].x0, quads[i].x0 - advance);
}

TEST_P(VgTextLayoutTest, InvalidOrCutOffBytesEndTheTextWithoutRepeatingAGlyph) {
  State().size = 16.0f;
  const float prefix = VgTextBounds(cache.get(), 0, 0, "Tar", nullptr, nullptr);
  const struct {
    const char* name;
    std::string text;
    size_t glyphs;
  } cases[] = {
      {"invalid byte", "Tar\xFFvex", 3},
      {"surrogate", "Tar\xED\xA0\x80vex", 3},
      {"cut-off sequence", "Tar\xE2\x82", 3},
      {"lone continuation", "Tar\x80", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VgTextBounds(cache.get(), 0, 0, c.text.c_str(), nullptr, nullptr), prefix) << c.name;
    VgTextIter iter;
    ASSERT_TRUE(
        VgTextIterInit(cache.get(), &iter, 0, 0, c.text.c_str(), nullptr, kVgGlyphBitmapRequired));
    VgQuad q;
    size_t steps = 0;
    while (VgTextIterNext(&iter, &q)) {
      ASSERT_NE(iter.glyph, nullptr) << c.name;
      ++steps;
    }
    EXPECT_EQ(steps, c.glyphs) << c.name;
    EXPECT_FALSE(VgTextIterNext(&iter, &q));
  }
  // An explicit end stops inside the text.
  const std::string text = "Tarvex";
  EXPECT_EQ(VgTextBounds(cache.get(), 0, 0, text.c_str(), text.c_str() + 3, nullptr), prefix);
  EXPECT_EQ(Iterate(cache.get(), text.c_str(), text.c_str() + 3, 0).size(), 3u);
}

TEST_P(VgTextLayoutTest, FullAtlasIsReportedAndTheStepCanBeRetried) {
  ASSERT_TRUE(VgGlyphCacheResetAtlas(cache.get(), 64, 64));
  State().size = 30.0f;
  VgTextIter iter;
  ASSERT_TRUE(
      VgTextIterInit(cache.get(), &iter, 0, 0, "ABCDEFGH", nullptr, kVgGlyphBitmapRequired));
  VgTextIter before = iter;
  VgQuad q;
  int drawn = 0;
  while (VgTextIterNext(&iter, &q) && !iter.atlasFull) {
    ++drawn;
    before = iter;
  }
  ASSERT_TRUE(iter.atlasFull);
  EXPECT_EQ(iter.glyph, nullptr);
  EXPECT_EQ(q.x1, 0.0f);
  ASSERT_TRUE(VgGlyphCacheResetAtlas(cache.get(), 256, 256));
  iter = before;
  ASSERT_TRUE(VgTextIterNext(&iter, &q));
  EXPECT_NE(iter.glyph, nullptr);
  EXPECT_EQ(iter.codepoint, static_cast<uint32_t>('A' + drawn));
}

TEST_P(VgTextLayoutTest, AnInvalidFontMeasuresNothing) {
  State().font = 3;
  float b[4] = {1, 2, 3, 4};
  EXPECT_EQ(VgTextBounds(cache.get(), 0, 0, "abc", nullptr, b), 0.0f);
  EXPECT_EQ(b[0], 1.0f);
  float miny = 7, maxy = 7;
  EXPECT_FALSE(VgTextLineBounds(cache.get(), 0, &miny, &maxy));
  EXPECT_EQ(miny, 7.0f);
  VgTextIter iter;
  EXPECT_FALSE(VgTextIterInit(cache.get(), &iter, 0, 0, "abc", nullptr, kVgGlyphBitmapRequired));
  State().font = 0;
}

// Sizes that no atlas can serve leave glyphs out without asking for a new
// atlas, which would only drop every glyph drawn so far.
TEST_P(VgTextLayoutTest, SizesNoAtlasCanHoldGiveNoGlyphsAndNoFullAtlas) {
  const float sizes[] = {0.1f, 0.0f, -5.0f, std::nanf(""), 1e9f, 3000.0f};
  for (float size : sizes) {
    State().size = size;
    VgTextIter iter;
    // Both glyphs reach from above the capitals to below the baseline.
    ASSERT_TRUE(VgTextIterInit(cache.get(), &iter, 0, 0, "(|", nullptr, kVgGlyphBitmapRequired));
    VgQuad q;
    int steps = 0;
    while (VgTextIterNext(&iter, &q)) {
      ++steps;
      EXPECT_EQ(iter.glyph, nullptr) << size;
      EXPECT_FALSE(iter.atlasFull) << size;
    }
    EXPECT_EQ(steps, 2) << size;
  }
  State().size = 1e9f; // measured all the same
  EXPECT_GT(VgTextBounds(cache.get(), 0, 0, "a", nullptr, nullptr), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Origins, VgTextLayoutTest,
                         testing::Values(kVgGlyphCacheOriginTopLeft, uint8_t{0}),
                         [](const testing::TestParamInfo<uint8_t>& param) {
                           return param.param ? "TopLeft" : "BottomLeft";
                         });

} // namespace
} // namespace plugkit::igraphics
