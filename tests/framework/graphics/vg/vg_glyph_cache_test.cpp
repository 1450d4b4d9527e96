#include "framework/graphics/vg/vg_glyph_cache.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "framework/graphics/vg/vg_text_layout.h"
#include "tests/framework/graphics/vg/vg_test_font.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace plugkit::igraphics {
namespace {

using test::RobotoBytes;

struct CacheDeleter {
  void operator()(VgGlyphCache* cache) const { VgGlyphCacheDelete(cache); }
};
using CachePtr = std::unique_ptr<VgGlyphCache, CacheDeleter>;

CachePtr MakeCache(int width = 512, int height = 512) {
  VgGlyphCacheParams params;
  params.width = width;
  params.height = height;
  return CachePtr(VgGlyphCacheCreate(params));
}

int AddRoboto(VgGlyphCache* cache, const char* name = "Roboto") {
  const auto& bytes = RobotoBytes();
  return VgAddFontFromMemory(cache, name, bytes.data(), static_cast<int>(bytes.size()), 0, false);
}

int GlyphIndexInRoboto(uint32_t codepoint) {
  stbtt_fontinfo info;
  const auto& bytes = RobotoBytes();
  if (!stbtt_InitFont(&info, bytes.data(), 0)) return -1;
  return stbtt_FindGlyphIndex(&info, static_cast<int>(codepoint));
}

class VgGlyphCacheTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(RobotoBytes().empty()) << "cannot read " << TARVEX_TEST_FONT;
    cache = MakeCache();
    ASSERT_TRUE(cache);
    ASSERT_EQ(AddRoboto(cache.get()), 0);
    font = VgGlyphCacheFont(cache.get(), 0);
  }

  CachePtr cache;
  VgFont* font = nullptr;
};

TEST_F(VgGlyphCacheTest, FreshCacheHasOneDirtyWhiteBlockAtTheOrigin) {
  int w = 0, h = 0;
  const uint8_t* tex = VgGlyphCacheTextureData(cache.get(), &w, &h);
  ASSERT_EQ(w, 512);
  ASSERT_EQ(h, 512);
  EXPECT_EQ(tex[0], 255);
  EXPECT_EQ(tex[1], 255);
  EXPECT_EQ(tex[512], 255);
  EXPECT_EQ(tex[513], 255);
  EXPECT_EQ(tex[2], 0);
  EXPECT_EQ(tex[1024], 0);
  int dirty[4] = {};
  ASSERT_TRUE(VgGlyphCacheValidateTexture(cache.get(), dirty));
  EXPECT_EQ(dirty[0], 0);
  EXPECT_EQ(dirty[1], 0);
  EXPECT_EQ(dirty[2], 2);
  EXPECT_EQ(dirty[3], 2);
  EXPECT_FALSE(VgGlyphCacheValidateTexture(cache.get(), dirty));
}

struct HookLog {
  bool acceptCreate = true;
  int created = 0, deleted = 0, updates = 0;
  int rect[4] = {};
};

TEST(VgGlyphCacheHooks, CreateUpdateAndDeleteHooksSeeTheCache) {
  HookLog log;
  VgGlyphCacheParams params;
  params.user = &log;
  params.renderCreate = [](void* user, int, int) {
    auto* l = static_cast<HookLog*>(user);
    ++l->created;
    return l->acceptCreate;
  };
  params.renderUpdate = [](void* user, const int* rect, const uint8_t*) {
    auto* l = static_cast<HookLog*>(user);
    ++l->updates;
    std::memcpy(l->rect, rect, sizeof l->rect);
  };
  params.renderDelete = [](void* user) { ++static_cast<HookLog*>(user)->deleted; };
  log.acceptCreate = false;
  EXPECT_EQ(VgGlyphCacheCreate(params), nullptr);
  log.acceptCreate = true;
  VgGlyphCache* cache = VgGlyphCacheCreate(params);
  ASSERT_NE(cache, nullptr);
  VgGlyphCacheFlush(cache);
  VgGlyphCacheFlush(cache); // nothing dirty: no second update
  EXPECT_EQ(log.updates, 1);
  EXPECT_EQ(log.rect[2], 2);
  VgGlyphCacheDelete(cache);
  EXPECT_EQ(log.created, 2);
  EXPECT_EQ(log.deleted, 1);

  for (const auto& size : {std::pair{0, 512}, std::pair{512, -1}, std::pair{40000, 16}}) {
    VgGlyphCacheParams bad;
    bad.width = size.first;
    bad.height = size.second;
    EXPECT_EQ(VgGlyphCacheCreate(bad), nullptr) << size.first << "x" << size.second;
  }
}

TEST_F(VgGlyphCacheTest, FontNamesAreCutTo63CharactersAndFoundExactly) {
  const std::string longName(70, 'n');
  const int index = AddRoboto(cache.get(), longName.c_str());
  ASSERT_EQ(index, 1);
  EXPECT_EQ(std::string(VgGlyphCacheFont(cache.get(), 1)->name), longName.substr(0, 63));
  EXPECT_EQ(VgFindFont(cache.get(), longName.substr(0, 63).c_str()), 1);
  EXPECT_EQ(VgFindFont(cache.get(), longName.c_str()), -1);
  EXPECT_EQ(VgFindFont(cache.get(), "Roboto"), 0);
  EXPECT_EQ(VgFindFont(cache.get(), "roboto"), -1);
  // Many fonts: the font list grows past its first capacity.
  for (int i = 2; i < 12; ++i) EXPECT_EQ(AddRoboto(cache.get(), "more"), i);
  EXPECT_EQ(VgFindFont(cache.get(), "more"), 2);
}

TEST_F(VgGlyphCacheTest, UnreadableFontsAreRefused) {
  const auto& bytes = RobotoBytes();
  const int size = static_cast<int>(bytes.size());
  const unsigned char garbage[64] = {1, 2, 3};
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", nullptr, 100, 0, false), -1);
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", bytes.data(), 0, 0, false), -1);
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", garbage, sizeof garbage, 0, false), -1);
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", bytes.data(), size, 1, false), -1);
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", bytes.data(), size, -1, false), -1);
  // Refused bytes handed over for freeing are freed (the leak checker sees it).
  auto* owned = static_cast<unsigned char*>(std::malloc(64));
  std::memset(owned, 7, 64);
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "x", owned, 64, 0, true), -1);
  // Accepted ones are freed with the cache.
  auto* copy = static_cast<unsigned char*>(std::malloc(bytes.size()));
  std::memcpy(copy, bytes.data(), bytes.size());
  EXPECT_EQ(VgAddFontFromMemory(cache.get(), "owned", copy, size, 0, true), 1);
  EXPECT_EQ(VgFindFont(cache.get(), "x"), -1);
}

TEST_F(VgGlyphCacheTest, GlyphsAreKeyedBySizeInTenthsAndBlur) {
  const struct {
    float size;
    float blur;
    size_t glyphsAfter;
  } steps[] = {
      {14.0f, 0.0f, 1},  {14.05f, 0.0f, 1}, // both 140 tenths
      {14.1f, 0.0f, 2},                     // 141
      {14.0f, 20.0f, 3}, {14.0f, 35.0f, 3}, // blur is limited to 20
      {14.0f, 3.0f, 4},
  };
  for (const auto& step : steps) {
    VgGlyphCacheState(cache.get()).size = step.size;
    VgGlyphCacheState(cache.get()).blur = step.blur;
    VgTextBounds(cache.get(), 0, 0, "A", nullptr, nullptr);
    EXPECT_EQ(font->glyphs.size(), step.glyphsAfter) << step.size << " " << step.blur;
  }
  const VgGlyph* capped =
      VgGlyphCacheGetGlyph(cache.get(), font, 'A', 140, 35, kVgGlyphBitmapRequired);
  ASSERT_NE(capped, nullptr);
  EXPECT_EQ(capped->blur, 20);
  EXPECT_EQ(capped, VgGlyphCacheGetGlyph(cache.get(), font, 'A', 140, 20, kVgGlyphBitmapOptional));
}

TEST_F(VgGlyphCacheTest, MeasuredGlyphsGetTheirBitmapsInTheSameRecordsWhenDrawn) {
  VgGlyph* measured = VgGlyphCacheGetGlyph(cache.get(), font, 'g', 200, 0, kVgGlyphBitmapOptional);
  ASSERT_NE(measured, nullptr);
  EXPECT_EQ(measured->x0, -1);
  EXPECT_EQ(measured->y0, -1);
  const int16_t advance = measured->xadv;
  const ptrdiff_t slot = measured - font->glyphs.data();
  int dirty[4];
  VgGlyphCacheValidateTexture(cache.get(), dirty);

  VgGlyph* drawn = VgGlyphCacheGetGlyph(cache.get(), font, 'g', 200, 0, kVgGlyphBitmapRequired);
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn - font->glyphs.data(), slot);
  EXPECT_EQ(font->glyphs.size(), 1u);
  EXPECT_GE(drawn->x0, 0);
  EXPECT_EQ(drawn->xadv, advance);
  ASSERT_TRUE(VgGlyphCacheValidateTexture(cache.get(), dirty));
  EXPECT_EQ(dirty[0], drawn->x0);
  EXPECT_EQ(dirty[1], drawn->y0);
  EXPECT_EQ(dirty[2], drawn->x1);
  EXPECT_EQ(dirty[3], drawn->y1);
  // The glyph's size follows Roboto's box for g, scaled to 20 pixels over the
  // 2400 units from descender to ascender, plus 2 pixels of padding a side.
  stbtt_fontinfo info;
  ASSERT_TRUE(stbtt_InitFont(&info, RobotoBytes().data(), 0));
  int bx0, by0, bx1, by1;
  stbtt_GetCodepointBitmapBox(&info, 'g', 20.0f / 2400.0f, 20.0f / 2400.0f, &bx0, &by0, &bx1, &by1);
  EXPECT_EQ(drawn->x1 - drawn->x0, bx1 - bx0 + 4);
  EXPECT_EQ(drawn->y1 - drawn->y0, by1 - by0 + 4);
  EXPECT_EQ(drawn->xoff, bx0 - 2);
  EXPECT_EQ(drawn->yoff, by0 - 2);
}

TEST_F(VgGlyphCacheTest, SizesBelowAFifthOfAPixelGiveNoGlyph) {
  bool full = true;
  EXPECT_EQ(VgGlyphCacheGetGlyph(cache.get(), font, 'A', 1, 0, kVgGlyphBitmapRequired, &full),
            nullptr);
  EXPECT_FALSE(full);
  EXPECT_NE(VgGlyphCacheGetGlyph(cache.get(), font, 'A', 2, 0, kVgGlyphBitmapRequired), nullptr);
}

TEST(VgGlyphCacheAtlas, AFullAtlasRefusesBitmapsUntilResetToALargerOne) {
  CachePtr cache = MakeCache(64, 64);
  ASSERT_TRUE(cache);
  ASSERT_EQ(AddRoboto(cache.get()), 0);
  VgFont* font = VgGlyphCacheFont(cache.get(), 0);
  uint32_t cp = 'A';
  bool full = false;
  while (!full && cp <= 'Z') {
    const VgGlyph* glyph =
        VgGlyphCacheGetGlyph(cache.get(), font, cp, 300, 0, kVgGlyphBitmapRequired, &full);
    EXPECT_EQ(glyph == nullptr, full);
    if (glyph) ++cp;
  }
  ASSERT_TRUE(full);
  ASSERT_GT(cp, static_cast<uint32_t>('A'));
  // Measuring needs no room.
  EXPECT_NE(VgGlyphCacheGetGlyph(cache.get(), font, cp, 300, 0, kVgGlyphBitmapOptional), nullptr);

  ASSERT_TRUE(VgGlyphCacheResetAtlas(cache.get(), 128, 64));
  EXPECT_TRUE(font->glyphs.empty());
  int w = 0, h = 0;
  const uint8_t* tex = VgGlyphCacheTextureData(cache.get(), &w, &h);
  EXPECT_EQ(w, 128);
  EXPECT_EQ(tex[0], 255);
  EXPECT_EQ(tex[129], 255);
  int dirty[4];
  ASSERT_TRUE(VgGlyphCacheValidateTexture(cache.get(), dirty));
  EXPECT_EQ(dirty[2], 2);
  EXPECT_EQ(dirty[3], 2);
  const VgGlyph* glyph =
      VgGlyphCacheGetGlyph(cache.get(), font, cp, 300, 0, kVgGlyphBitmapRequired, &full);
  ASSERT_NE(glyph, nullptr);
  EXPECT_FALSE(full);
  EXPECT_FALSE(VgGlyphCacheResetAtlas(cache.get(), 0, 64));
  EXPECT_EQ(VgGlyphCacheTextureData(cache.get(), &w, &h), tex);
}

TEST_F(VgGlyphCacheTest, StateStackHoldsTwentyEntries) {
  EXPECT_EQ(cache->nstates, 1);
  const VgGlyphState& first = VgGlyphCacheState(cache.get());
  EXPECT_EQ(first.font, 0);
  EXPECT_EQ(first.align, kVgAlignLeft | kVgAlignBaseline);
  EXPECT_EQ(first.size, 12.0f);
  EXPECT_EQ(first.color, 0xFFFFFFFFu);
  VgGlyphCacheState(cache.get()).size = 30.0f;
  for (int i = 1; i < kVgGlyphStateCapacity; ++i) EXPECT_TRUE(VgGlyphCachePushState(cache.get()));
  EXPECT_FALSE(VgGlyphCachePushState(cache.get()));
  EXPECT_EQ(cache->nstates, kVgGlyphStateCapacity);
  EXPECT_EQ(VgGlyphCacheState(cache.get()).size, 30.0f);
  VgGlyphCacheState(cache.get()).size = 8.0f;
  for (int i = 1; i < kVgGlyphStateCapacity; ++i) EXPECT_TRUE(VgGlyphCachePopState(cache.get()));
  EXPECT_FALSE(VgGlyphCachePopState(cache.get()));
  EXPECT_EQ(VgGlyphCacheState(cache.get()).size, 30.0f);
}

TEST_F(VgGlyphCacheTest, ScratchAreaHandsOutSixteenByteStepsUntilItIsUsedUp) {
  cache->nscratch = 0;
  auto* a = static_cast<uint8_t*>(VgGlyphCacheScratchAlloc(cache.get(), 1));
  auto* b = static_cast<uint8_t*>(VgGlyphCacheScratchAlloc(cache.get(), 17));
  auto* c = static_cast<uint8_t*>(VgGlyphCacheScratchAlloc(cache.get(), 0));
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(b - a, 16);
  EXPECT_EQ(c - b, 32);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 16, 0u);
  EXPECT_NE(VgGlyphCacheScratchAlloc(cache.get(), kVgGlyphScratchSize - 48), nullptr);
  EXPECT_EQ(VgGlyphCacheScratchAlloc(cache.get(), 1), nullptr);
  EXPECT_EQ(VgGlyphCacheScratchAlloc(cache.get(), static_cast<size_t>(-1)), nullptr);
}

TEST(VgGlyphCacheFallback, MissingGlyphsComeFromFallbackFontsWithoutCrossFontKerning) {
  ASSERT_FALSE(RobotoBytes().empty());
  const uint16_t gidT = static_cast<uint16_t>(GlyphIndexInRoboto('T'));
  const uint16_t gidA = static_cast<uint16_t>(GlyphIndexInRoboto('A'));
  const std::vector<unsigned char> partial =
      test::RobotoWithCharacterMap({{'A', gidA}, {'T', gidT}});
  CachePtr cache = MakeCache();
  const int primary = VgAddFontFromMemory(cache.get(), "partial", partial.data(),
                                          static_cast<int>(partial.size()), 0, false);
  ASSERT_EQ(primary, 0);
  ASSERT_EQ(AddRoboto(cache.get()), 1);
  VgFont* font = VgGlyphCacheFont(cache.get(), primary);

  const VgGlyph* missing =
      VgGlyphCacheGetGlyph(cache.get(), font, 0xE9, 240, 0, kVgGlyphBitmapOptional);
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->index, 0); // the face's own missing-glyph box
  EXPECT_FALSE(missing->fallback);

  EXPECT_TRUE(VgAddFallbackFont(cache.get(), primary, 1));
  const VgGlyph* borrowed =
      VgGlyphCacheGetGlyph(cache.get(), font, 0xE9, 241, 0, kVgGlyphBitmapRequired);
  ASSERT_NE(borrowed, nullptr);
  EXPECT_EQ(borrowed->index, GlyphIndexInRoboto(0xE9));
  EXPECT_TRUE(borrowed->fallback);
  EXPECT_GE(borrowed->x0, 0);

  // "Te" through the fallback is "Te" in Roboto less their kerning pair.
  stbtt_fontinfo info;
  ASSERT_TRUE(stbtt_InitFont(&info, RobotoBytes().data(), 0));
  const int kern = stbtt_GetGlyphKernAdvance(&info, gidT, GlyphIndexInRoboto(0xE9));
  ASSERT_NE(kern, 0);
  VgGlyphCacheState(cache.get()).size = 48.0f;
  const float withFallback = VgTextBounds(cache.get(), 0, 0, "T\xC3\xA9", nullptr, nullptr);
  VgGlyphCacheState(cache.get()).font = 1;
  const float direct = VgTextBounds(cache.get(), 0, 0, "T\xC3\xA9", nullptr, nullptr);
  EXPECT_EQ(direct - withFallback, std::trunc(static_cast<float>(kern) * 48.0f / 2400.0f + 0.5f));

  EXPECT_FALSE(VgAddFallbackFont(cache.get(), primary, 5));
  EXPECT_FALSE(VgAddFallbackFont(cache.get(), 7, 1));
  for (int i = 1; i < kVgMaxFallbackFonts; ++i)
    EXPECT_TRUE(VgAddFallbackFont(cache.get(), primary, 1));
  EXPECT_FALSE(VgAddFallbackFont(cache.get(), primary, 1));
}

// Draws text into the atlas and leaves it as a picture in the build folder.
TEST_F(VgGlyphCacheTest, AtlasPictureShowsTheDrawnGlyphs) {
  const struct {
    float size;
    float blur;
    const char* text;
  } lines[] = {
      {12.0f, 0.0f, "The quick brown fox jumps over the lazy dog 0123456789"},
      {18.0f, 0.0f, "Tarvex feedback suppressor: -12.5 dB @ 1.25 kHz"},
      {32.0f, 0.0f, "AVAWAY Wolf g\xC3\xA9nial \xC3\x9F"},
      {32.0f, 4.0f, "Blur"},
      {64.0f, 0.0f, "Qg&"},
  };
  for (const auto& line : lines) {
    VgGlyphCacheState(cache.get()).size = line.size;
    VgGlyphCacheState(cache.get()).blur = line.blur;
    VgTextIter iter;
    ASSERT_TRUE(
        VgTextIterInit(cache.get(), &iter, 0, 0, line.text, nullptr, kVgGlyphBitmapRequired));
    VgQuad quad;
    while (VgTextIterNext(&iter, &quad)) ASSERT_FALSE(iter.atlasFull);
  }
  int w = 0, h = 0;
  const uint8_t* tex = VgGlyphCacheTextureData(cache.get(), &w, &h);
  const std::string path = test::OutputPath("glyph_atlas.png");
  EXPECT_NE(stbi_write_png(path.c_str(), w, h, 1, tex, w), 0) << path;

  // Every glyph rectangle keeps a clear frame, and a stroke of l is solid ink.
  for (const VgGlyph& glyph : font->glyphs) {
    for (int x = glyph.x0; x < glyph.x1; ++x) {
      ASSERT_EQ(tex[glyph.y0 * w + x], 0);
      ASSERT_EQ(tex[(glyph.y1 - 1) * w + x], 0);
    }
    for (int y = glyph.y0; y < glyph.y1; ++y) {
      ASSERT_EQ(tex[y * w + glyph.x0], 0);
      ASSERT_EQ(tex[y * w + glyph.x1 - 1], 0);
    }
  }
  const VgGlyph* l = VgGlyphCacheGetGlyph(cache.get(), font, 'l', 640, 0, kVgGlyphBitmapRequired);
  ASSERT_NE(l, nullptr);
  int solid = 0;
  const int midY = (l->y0 + l->y1) / 2;
  for (int x = l->x0; x < l->x1; ++x) solid += tex[midY * w + x] == 255;
  EXPECT_GE(solid, 3);
  EXPECT_LE(solid, 8);
  // The blurred glyph has soft edges: grey levels between ink and paper.
  const VgGlyph* blurred =
      VgGlyphCacheGetGlyph(cache.get(), font, 'B', 320, 4, kVgGlyphBitmapRequired);
  ASSERT_NE(blurred, nullptr);
  int grey = 0, ink = 0;
  for (int y = blurred->y0; y < blurred->y1; ++y) {
    for (int x = blurred->x0; x < blurred->x1; ++x) {
      const uint8_t v = tex[y * w + x];
      grey += v > 0 && v < 200;
      ink += v >= 200;
    }
  }
  EXPECT_GT(grey, ink);
}

} // namespace
} // namespace plugkit::igraphics
