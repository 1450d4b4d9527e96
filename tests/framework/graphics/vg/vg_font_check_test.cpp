#include "framework/graphics/vg/vg_font_check.h"

#include <functional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "framework/graphics/vg/vg_text_layout.h"
#include "tests/framework/graphics/vg/vg_test_font.h"

namespace plugkit::igraphics {
namespace {

using namespace test;

// Adds the bytes to a fresh cache from a copy exactly as long as they are (so
// the sanitizer build sees any read past their end) and, when the font is
// accepted, draws what text drawing reads: character map, metrics, kerning
// pairs and outlines at two sizes. Returns the font index.
int AddAndDraw(const Bytes& bytes, float* kerningProbe = nullptr) {
  CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
  std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  const int font = VgAddFontFromMemory(cache.get(), "damaged", copy.get(),
                                       static_cast<int>(bytes.size()), 0, false);
  if (font < 0) return font;
  std::string text;
  for (char c = 32; c < 127; ++c) text += c;
  text += "\xC3\xA9\xE2\x82\xAC\xC3\x9F\xF0\x9F\x98\x80 AVAWAY LT P, Te";
  for (float size : {11.0f, 37.0f}) {
    VgGlyphCacheState(cache.get()).size = size;
    VgTextIter iter;
    VgQuad quad;
    VgTextIterInit(cache.get(), &iter, 0, 0, text.c_str(), nullptr, kVgGlyphBitmapRequired);
    while (VgTextIterNext(&iter, &quad)) {
      if (iter.atlasFull) VgGlyphCacheResetAtlas(cache.get(), 512, 512);
    }
  }
  if (kerningProbe) {
    VgGlyphCacheState(cache.get()).size = 50.0f;
    *kerningProbe = VgTextBounds(cache.get(), 0, 0, "LT", nullptr, nullptr) -
                    VgTextBounds(cache.get(), 0, 0, "L", nullptr, nullptr) -
                    VgTextBounds(cache.get(), 0, 0, "T", nullptr, nullptr);
  }
  return font;
}

TEST(VgFontCheck, TruncatedFontsAreRefused) {
  const Bytes& full = RobotoBytes();
  ASSERT_FALSE(full.empty());
  for (size_t n : {size_t{1}, size_t{11}, size_t{12}, size_t{211}, size_t{1000}, size_t{33664},
                   full.size() / 2, full.size() - 1, full.size()}) {
    EXPECT_EQ(AddAndDraw(Bytes(full.begin(), full.begin() + static_cast<long>(n))) == 0,
              n == full.size())
        << n;
  }
}

TEST(VgFontCheck, DamagedStructuresAreRefusedOrLeftUnread) {
  const Bytes& roboto = RobotoBytes();
  const size_t hhea = TableOffset(roboto, "hhea"), head = TableOffset(roboto, "head");
  const size_t loca = TableOffset(roboto, "loca"), gpos = TableOffset(roboto, "GPOS");
  const size_t cmap = CharacterMapOffset();
  const Bytes mapped = RobotoWithCharacterMap({{'A', 36}, {'B', 37}, {'C', 38}});
  const struct {
    const char* name;
    const Bytes& base;
    std::function<void(Bytes&)> damage;
  } refused[] = {
      {"no horizontal metrics", roboto, [&](Bytes& b) { PutU16(b, hhea + 34, 0); }},
      {"zero height", roboto, [&](Bytes& b) { PutU16(b, hhea + 4, 0xFE0C); }}, // ascent -500
      {"unknown location format", roboto, [&](Bytes& b) { PutU16(b, head + 50, 7); }},
      {"glyph location past the end", roboto, [&](Bytes& b) { PutU16(b, loca + 20, 0xFFFF); }},
      {"table past the end", roboto, [&](Bytes& b) { PutU16(b, 12 + 8, 0x7FFF); }},
      {"collection without the face", roboto, [&](Bytes& b) { std::copy_n("ttcf", 4, b.begin()); }},
      {"no glyph outlines (CFF)", roboto,
       [&](Bytes& b) {
         for (size_t r = 12; r < 12 + 16 * 13; r += 16) {
           if (std::equal(b.begin() + static_cast<long>(r), b.begin() + static_cast<long>(r) + 4,
                          "glyf"))
             b[r + 3] = 'X';
         }
       }},
      {"map search range", mapped, [&](Bytes& b) { PutU16(b, cmap + 8, 2); }},
      {"map entry selector", mapped, [&](Bytes& b) { PutU16(b, cmap + 10, 9); }},
      {"map range shift", mapped, [&](Bytes& b) { PutU16(b, cmap + 12, 2); }},
      {"map without segments", mapped, [&](Bytes& b) { PutU16(b, cmap + 6, 0); }},
      {"map range offset past the end", mapped, [&](Bytes& b) { PutU16(b, cmap + 40, 0xFFF0); }},
      {"unknown map format", mapped, [&](Bytes& b) { PutU16(b, cmap, 2); }},
  };
  ASSERT_EQ(AddAndDraw(mapped), 0);
  for (const auto& c : refused) {
    Bytes bytes = c.base;
    c.damage(bytes);
    EXPECT_EQ(AddAndDraw(bytes), -1) << c.name;
  }
  // A damaged positioning table costs the kerning, not the font.
  float kerning = 0;
  ASSERT_EQ(AddAndDraw(roboto, &kerning), 0);
  EXPECT_LT(kerning, -3.0f);
  Bytes bytes = roboto;
  PutU16(bytes, gpos + 8, 0xFFF0);
  ASSERT_EQ(AddAndDraw(bytes, &kerning), 0);
  EXPECT_EQ(kerning, 0.0f);
}

size_t GlyphOffset(const Bytes& bytes, const stbtt_fontinfo& info, int glyph) {
  const size_t entry = static_cast<size_t>(info.loca) + (info.indexToLocFormat ? 4u : 2u) * glyph;
  return static_cast<size_t>(info.glyf) +
         (info.indexToLocFormat ? size_t{bytes[entry]} << 24 | size_t{bytes[entry + 1]} << 16 |
                                      size_t{bytes[entry + 2]} << 8 | bytes[entry + 3]
                                : 2u * (size_t{bytes[entry]} << 8 | bytes[entry + 1]));
}

TEST(VgFontCheck, SelfReferencingCompositeGlyphDrawsNothing) {
  Bytes bytes = RobotoBytes();
  const stbtt_fontinfo info = RobotoInfo();
  const int glyph = stbtt_FindGlyphIndex(&info, 'A');
  const size_t at = GlyphOffset(bytes, info, glyph);
  PutU16(bytes, at, 0xFFFF);      // composite
  PutU16(bytes, at + 10, 0x0003); // word arguments, xy values
  PutU16(bytes, at + 12, static_cast<uint32_t>(glyph));
  const int size = static_cast<int>(bytes.size());
  stbtt_fontinfo damaged = info;
  damaged.data = bytes.data();
  EXPECT_FALSE(VgFontGlyphSafe(damaged, size, glyph));
  EXPECT_TRUE(VgFontGlyphSafe(damaged, size, stbtt_FindGlyphIndex(&info, 'B')));
  EXPECT_FALSE(VgFontGlyphSafe(damaged, size, -1));
  EXPECT_FALSE(VgFontGlyphSafe(damaged, size, info.numGlyphs));
  CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
  ASSERT_EQ(VgAddFontFromMemory(cache.get(), "x", bytes.data(), size, 0, false), 0);
  const VgGlyph* a = VgGlyphCacheGetGlyph(cache.get(), VgGlyphCacheFont(cache.get(), 0), 'A', 400,
                                          0, kVgGlyphBitmapRequired);
  EXPECT_GT(a->xadv, 0);
  EXPECT_EQ(a->x1 - a->x0, 4); // padding only
}

// Random damage in the structures text drawing reads: the font is refused or
// drawn, never read outside its bytes.
TEST(VgFontCheck, RandomlyDamagedFontsAreReadSafely) {
  const Bytes& original = RobotoBytes();
  const size_t regions[][2] = {{0, 220},
                               {TableOffset(original, "cmap"), 6348},
                               {TableOffset(original, "loca"), 13440},
                               {TableOffset(original, "hhea"), 36},
                               {TableOffset(original, "glyf"), 2000},
                               {TableOffset(original, "GPOS"), 4000}};
  std::mt19937 random(20261209);
  int accepted = 0;
  for (int round = 0; round < 240; ++round) {
    Bytes bytes = original;
    const auto& region = regions[static_cast<size_t>(round) % std::size(regions)];
    std::uniform_int_distribution<size_t> where(region[0], region[0] + region[1] - 1);
    for (int i = 0; i <= round % 6; ++i)
      bytes[where(random)] = static_cast<unsigned char>(random());
    accepted += AddAndDraw(bytes) == 0;
  }
  EXPECT_GT(accepted, 40);
}

// A component is placed through a 16-bit coordinate: one whose offset or
// scale could carry the outline out of that range is refused, a plain one kept.
TEST(VgFontCheck, ComponentsThatWouldLeaveTheCoordinateRangeAreRefused) {
  const stbtt_fontinfo info = RobotoInfo();
  const int glyph = stbtt_FindGlyphIndex(&info, 'A');
  const int component = stbtt_FindGlyphIndex(&info, 'B');
  struct Case {
    const char* name;
    uint32_t flags;
    int16_t offset;
    int16_t scale; // 2.14 fixed point, used with flag 8
    bool safe;
  };
  const Case cases[] = {
      {"small offset", 0x0003, 100, 0, true},
      {"offset near the range's end", 0x0003, 32000, 0, false},
      {"scale near two", 0x000B, 0, 0x7FFF, true},
      {"scale near two with a large offset", 0x000B, 20000, 0x7FFF, false},
      {"negative scale with a large negative offset", 0x000B, -30000, -0x7FFF, false},
  };
  for (const Case& c : cases) {
    Bytes bytes = RobotoBytes();
    const size_t at = GlyphOffset(bytes, info, glyph);
    PutU16(bytes, at, 0xFFFF); // composite
    PutU16(bytes, at + 10, c.flags);
    PutU16(bytes, at + 12, static_cast<uint32_t>(component));
    PutU16(bytes, at + 14, static_cast<uint16_t>(c.offset));
    PutU16(bytes, at + 16, static_cast<uint16_t>(c.offset));
    PutU16(bytes, at + 18, static_cast<uint16_t>(c.scale));
    stbtt_fontinfo damaged = info;
    damaged.data = bytes.data();
    EXPECT_EQ(VgFontGlyphSafe(damaged, static_cast<int>(bytes.size()), glyph), c.safe) << c.name;
  }
}

} // namespace
} // namespace plugkit::igraphics
