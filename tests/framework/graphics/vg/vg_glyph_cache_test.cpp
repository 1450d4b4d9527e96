#include "framework/graphics/vg/vg_glyph_cache.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "framework/graphics/vg/vg_text_layout.h"
#include "tests/framework/graphics/sfnt_builder.h"
#include "tests/framework/graphics/vg/vg_test_font.h"

// Under Wine the output folder's UTF-8 path is opened in its wide form.
#define STBIW_WINDOWS_UTF8
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace plugkit::igraphics {
namespace {

using namespace test;

class VgGlyphCacheTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(RobotoBytes().empty()) << "cannot read " << TARVEX_TEST_FONT;
    cache = RobotoCache();
    ASSERT_TRUE(cache);
    font = VgGlyphCacheFont(cache.get(), 0);
  }
  VgGlyph* Glyph(uint32_t cp, int16_t size, int16_t blur, int option, bool* full = nullptr) {
    return VgGlyphCacheGetGlyph(cache.get(), font, cp, size, blur, option, full);
  }
  CachePtr cache;
  VgFont* font = nullptr;
};

TEST_F(VgGlyphCacheTest, FreshCacheHasOneDirtyWhiteBlockAndTheDefaultState) {
  int w = 0, h = 0, dirty[4] = {};
  const uint8_t* tex = VgGlyphCacheTextureData(cache.get(), &w, &h);
  ASSERT_EQ(w * h, 512 * 512);
  EXPECT_EQ(tex[0] + tex[1] + tex[512] + tex[513], 4 * 255);
  EXPECT_EQ(tex[2] + tex[1024], 0);
  ASSERT_TRUE(VgGlyphCacheValidateTexture(cache.get(), dirty));
  EXPECT_EQ(std::vector<int>(dirty, dirty + 4), (std::vector<int>{0, 0, 2, 2}));
  EXPECT_FALSE(VgGlyphCacheValidateTexture(cache.get(), dirty));
  const VgGlyphState& state = VgGlyphCacheState(cache.get());
  EXPECT_EQ(state.align, kVgAlignLeft | kVgAlignBaseline);
  EXPECT_EQ(state.size, 12.0f);
  for (const auto& size : {std::pair{0, 512}, std::pair{512, -1}, std::pair{40000, 16}}) {
    VgGlyphCacheParams bad;
    bad.width = size.first;
    bad.height = size.second;
    EXPECT_EQ(VgGlyphCacheCreate(bad), nullptr) << size.first << "x" << size.second;
  }
}

TEST_F(VgGlyphCacheTest, FontsAreNamedWith63CharactersAtMostAndBadOnesRefused) {
  const Bytes& bytes = RobotoBytes();
  const int size = static_cast<int>(bytes.size());
  const std::string name(70, 'n');
  ASSERT_EQ(VgAddFontFromMemory(cache.get(), name.c_str(), bytes.data(), size, 0, false), 1);
  EXPECT_EQ(VgFindFont(cache.get(), name.substr(0, 63).c_str()), 1);
  EXPECT_EQ(VgFindFont(cache.get(), name.c_str()), -1);
  EXPECT_EQ(VgFindFont(cache.get(), "roboto"), -1);
  const unsigned char garbage[64] = {1, 2, 3};
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", nullptr, 100, 0, false), -1);
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", garbage, sizeof garbage, 0, false), -1);
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", bytes.data(), size, 1, false), -1);
  // Bytes handed over are freed whether refused or kept (the leak checker
  // of the sanitizer build sees it).
  void* refused = std::calloc(64, 1);
  EXPECT_EQ(
      VgAddFontFromMemory(cache.get(), "x", static_cast<unsigned char*>(refused), 64, 0, true), -1);
  auto* kept = static_cast<unsigned char*>(std::malloc(bytes.size()));
  std::memcpy(kept, bytes.data(), bytes.size());
  for (int i = 2; i < 10; ++i) {
    EXPECT_EQ(
        VgAddFontFromMemory(cache.get(), "more", i == 9 ? kept : bytes.data(), size, 0, i == 9), i);
  }
  EXPECT_EQ(VgFindFont(cache.get(), "more"), 2);
}

TEST_F(VgGlyphCacheTest, GlyphsAreKeyedBySizeInTenthsAndBlur) {
  const struct {
    float size, blur;
    size_t glyphs;
  } steps[] = {{14.0f, 0, 1},  {14.05f, 0, 1}, {14.1f, 0, 2},  // 140, 140, 141 tenths
               {14.0f, 20, 3}, {14.0f, 35, 3}, {14.0f, 3, 4}}; // blur is limited to 20
  for (const auto& step : steps) {
    VgGlyphCacheState(cache.get()).size = step.size;
    VgGlyphCacheState(cache.get()).blur = step.blur;
    VgTextBounds(cache.get(), 0, 0, "A", nullptr, nullptr);
    EXPECT_EQ(font->glyphs.size(), step.glyphs) << step.size << " " << step.blur;
  }
  const VgGlyph* capped = Glyph('A', 140, 35, kVgGlyphBitmapRequired);
  EXPECT_EQ(capped->blur, 20);
  EXPECT_EQ(capped, Glyph('A', 140, 20, kVgGlyphBitmapOptional));
  bool full = true;
  EXPECT_EQ(Glyph('A', 1, 0, kVgGlyphBitmapRequired, &full), nullptr); // below 0.2 pixel
  EXPECT_FALSE(full);
}

TEST_F(VgGlyphCacheTest, MeasuredGlyphsGetTheirBitmapsInTheSameRecordsWhenDrawn) {
  VgGlyph* measured = Glyph('g', 200, 0, kVgGlyphBitmapOptional);
  EXPECT_EQ(measured->x0, -1);
  const ptrdiff_t slot = measured - font->glyphs.data();
  int dirty[4];
  VgGlyphCacheValidateTexture(cache.get(), dirty);
  const VgGlyph* drawn = Glyph('g', 200, 0, kVgGlyphBitmapRequired);
  EXPECT_EQ(drawn - font->glyphs.data(), slot);
  EXPECT_EQ(font->glyphs.size(), 1u);
  EXPECT_GT(cache->nscratch, 0); // the rasteriser's memory came from the scratch area
  ASSERT_TRUE(VgGlyphCacheValidateTexture(cache.get(), dirty));
  EXPECT_EQ(std::vector<int>(dirty, dirty + 4),
            (std::vector<int>{drawn->x0, drawn->y0, drawn->x1, drawn->y1}));
  // Roboto's box for g at 20 pixels over its 2400 units, and 2 pixels of
  // padding a side.
  const stbtt_fontinfo info = RobotoInfo();
  int x0, y0, x1, y1;
  stbtt_GetCodepointBitmapBox(&info, 'g', 20.0f / 2400, 20.0f / 2400, &x0, &y0, &x1, &y1);
  EXPECT_EQ(drawn->x1 - drawn->x0, x1 - x0 + 4);
  EXPECT_EQ(drawn->y1 - drawn->y0, y1 - y0 + 4);
  EXPECT_EQ(drawn->xoff, x0 - 2);
  EXPECT_EQ(drawn->yoff, y0 - 2);
}

TEST(VgGlyphCacheAtlas, AFullAtlasRefusesBitmapsUntilResetToALargerOne) {
  CachePtr cache = RobotoCache(kVgGlyphCacheOriginTopLeft, 64, 64);
  ASSERT_TRUE(cache);
  VgFont* font = VgGlyphCacheFont(cache.get(), 0);
  uint32_t cp = 'A';
  bool full = false;
  while (VgGlyphCacheGetGlyph(cache.get(), font, cp, 300, 0, kVgGlyphBitmapRequired, &full)) ++cp;
  ASSERT_TRUE(full);
  EXPECT_NE(VgGlyphCacheGetGlyph(cache.get(), font, cp, 300, 0, kVgGlyphBitmapOptional), nullptr);
  ASSERT_TRUE(VgGlyphCacheResetAtlas(cache.get(), 128, 64));
  EXPECT_TRUE(font->glyphs.empty());
  int w = 0, h = 0, dirty[4];
  const uint8_t* tex = VgGlyphCacheTextureData(cache.get(), &w, &h);
  EXPECT_EQ(tex[0] + tex[129], 2 * 255);
  ASSERT_TRUE(VgGlyphCacheValidateTexture(cache.get(), dirty));
  EXPECT_EQ(dirty[2] + dirty[3], 4);
  EXPECT_NE(VgGlyphCacheGetGlyph(cache.get(), font, cp, 300, 0, kVgGlyphBitmapRequired, &full),
            nullptr);
  EXPECT_FALSE(VgGlyphCacheResetAtlas(cache.get(), 0, 64));
  EXPECT_EQ(VgGlyphCacheTextureData(cache.get(), &w, &h), tex);
}

TEST_F(VgGlyphCacheTest, StateStackAndScratchAreaHaveFixedLimits) {
  VgGlyphCacheState(cache.get()).size = 30.0f;
  for (int i = 1; i < kVgGlyphStateCapacity; ++i) EXPECT_TRUE(VgGlyphCachePushState(cache.get()));
  EXPECT_FALSE(VgGlyphCachePushState(cache.get()));
  VgGlyphCacheState(cache.get()).size = 8.0f;
  for (int i = 1; i < kVgGlyphStateCapacity; ++i) EXPECT_TRUE(VgGlyphCachePopState(cache.get()));
  EXPECT_FALSE(VgGlyphCachePopState(cache.get()));
  EXPECT_EQ(VgGlyphCacheState(cache.get()).size, 30.0f);

  cache->nscratch = 0;
  auto* a = static_cast<uint8_t*>(VgGlyphCacheScratchAlloc(cache.get(), 1));
  auto* b = static_cast<uint8_t*>(VgGlyphCacheScratchAlloc(cache.get(), 17));
  EXPECT_EQ(b - a, 16);
  EXPECT_NE(VgGlyphCacheScratchAlloc(cache.get(), kVgGlyphScratchSize - 48), nullptr);
  EXPECT_NE(VgGlyphCacheScratchAlloc(cache.get(), 1), nullptr); // from the heap
  EXPECT_EQ(VgGlyphCacheScratchAlloc(cache.get(), static_cast<size_t>(-1)), nullptr);
}

// Outlines whose rasterising needs more than the scratch area: beyond it by
// the rasteriser's active edges, by its scanline buffer, by its edge list.
TEST(VgGlyphCacheScratch, GlyphsTooComplexForTheScratchAreaStillDraw) {
  for (int points : {1800, 2265, 3000}) {
    const std::vector<uint8_t> bytes = BuildFace(ComplexGlyphFace(points));
    CachePtr cache(VgGlyphCacheCreate({}));
    VgFont* font = VgGlyphCacheFont(cache.get(),
                                    VgAddFontFromMemory(cache.get(), "disc", bytes.data(),
                                                        static_cast<int>(bytes.size()), 0, false));
    ASSERT_NE(font, nullptr);
    const VgGlyph* disc =
        VgGlyphCacheGetGlyph(cache.get(), font, 'A', 410, 0, kVgGlyphBitmapRequired);
    ASSERT_NE(disc, nullptr);
    int w = 0;
    const uint8_t* tex = VgGlyphCacheTextureData(cache.get(), &w, nullptr);
    int ink = 0;
    for (int x = disc->x0; x < disc->x1; ++x) ink += tex[(disc->y0 + disc->y1) / 2 * w + x] == 255;
    EXPECT_GT(ink, disc->x1 - disc->x0 - 8) << points << " points"; // solid across the middle
  }
}

TEST(VgGlyphCacheFallback, MissingGlyphsComeFromFallbacksWithoutCrossFontKerning) {
  const stbtt_fontinfo info = RobotoInfo();
  const int t = stbtt_FindGlyphIndex(&info, 'T'), e = stbtt_FindGlyphIndex(&info, 0xE9);
  const Bytes partial = RobotoWithCharacterMap({{'T', static_cast<uint16_t>(t)}});
  CachePtr cache = RobotoCache();
  ASSERT_EQ(VgAddFontFromMemory(cache.get(), "partial", partial.data(),
                                static_cast<int>(partial.size()), 0, false),
            1);
  VgFont* font = VgGlyphCacheFont(cache.get(), 1);
  const VgGlyph* missing =
      VgGlyphCacheGetGlyph(cache.get(), font, 0xE9, 240, 0, kVgGlyphBitmapOptional);
  EXPECT_EQ(missing->index, 0); // the face's own missing-glyph box
  ASSERT_TRUE(VgAddFallbackFont(cache.get(), 1, 0));
  const VgGlyph* borrowed =
      VgGlyphCacheGetGlyph(cache.get(), font, 0xE9, 241, 0, kVgGlyphBitmapRequired);
  EXPECT_EQ(borrowed->index, e);
  EXPECT_TRUE(borrowed->fallback);
  EXPECT_GE(borrowed->x0, 0);
  // "Té" through the fallback is "Té" in Roboto less their kerning.
  const float kern = static_cast<float>(stbtt_GetGlyphKernAdvance(&info, t, e)) * 48 / 2400;
  ASSERT_LT(kern, -1.0f);
  VgGlyphCacheState(cache.get()).size = 48.0f;
  const float direct = VgTextBounds(cache.get(), 0, 0, "T\xC3\xA9", nullptr, nullptr);
  VgGlyphCacheState(cache.get()).font = 1;
  EXPECT_EQ(VgTextBounds(cache.get(), 0, 0, "T\xC3\xA9", nullptr, nullptr),
            direct - std::trunc(kern + 0.5f));
  EXPECT_FALSE(VgAddFallbackFont(cache.get(), 1, 5));
  for (int i = 1; i < kVgMaxFallbackFonts; ++i) EXPECT_TRUE(VgAddFallbackFont(cache.get(), 1, 0));
  EXPECT_FALSE(VgAddFallbackFont(cache.get(), 1, 0));
}

// Draws text into the atlas and leaves it as a picture in the build folder.
TEST_F(VgGlyphCacheTest, AtlasPictureShowsTheDrawnGlyphs) {
  const struct {
    float size, blur;
    const char* text;
  } lines[] = {{12, 0, "The quick brown fox jumps over the lazy dog 0123456789"},
               {18, 0, "Tarvex feedback suppressor: -12.5 dB @ 1.25 kHz"},
               {32, 0, "AVAWAY Wolf g\xC3\xA9nial \xC3\x9F"},
               {32, 4, "Blur"},
               {64, 0, "Qgl&"}};
  for (const auto& line : lines) {
    VgGlyphCacheState(cache.get()).size = line.size;
    VgGlyphCacheState(cache.get()).blur = line.blur;
    VgTextIter iter;
    ASSERT_TRUE(
        VgTextIterInit(cache.get(), &iter, 0, 0, line.text, nullptr, kVgGlyphBitmapRequired));
    VgQuad quad;
    while (VgTextIterNext(&iter, &quad)) ASSERT_NE(iter.glyph, nullptr);
  }
  int w = 0, h = 0;
  const uint8_t* tex = VgGlyphCacheTextureData(cache.get(), &w, &h);
  EXPECT_NE(stbi_write_png(OutputPath("glyph_atlas.png").c_str(), w, h, 1, tex, w), 0);
  // Every glyph keeps a clear frame; the stem of a large l is solid ink, a
  // blurred B mostly grey.
  for (const VgGlyph& g : font->glyphs) {
    for (int x = g.x0; x < g.x1; ++x) ASSERT_EQ(tex[g.y0 * w + x] + tex[(g.y1 - 1) * w + x], 0);
    for (int y = g.y0; y < g.y1; ++y) ASSERT_EQ(tex[y * w + g.x0] + tex[y * w + g.x1 - 1], 0);
  }
  const VgGlyph* l = Glyph('l', 640, 0, kVgGlyphBitmapOptional);
  int solid = 0;
  for (int x = l->x0; x < l->x1; ++x) solid += tex[(l->y0 + l->y1) / 2 * w + x] == 255;
  EXPECT_TRUE(solid >= 3 && solid <= 8) << solid;
  const VgGlyph* b = Glyph('B', 320, 4, kVgGlyphBitmapOptional);
  int grey = 0, ink = 0;
  for (int y = b->y0; y < b->y1; ++y) {
    for (int x = b->x0; x < b->x1; ++x) {
      grey += tex[y * w + x] > 0 && tex[y * w + x] < 200;
      ink += tex[y * w + x] >= 200;
    }
  }
  EXPECT_GT(grey, ink);
}

} // namespace
} // namespace plugkit::igraphics
