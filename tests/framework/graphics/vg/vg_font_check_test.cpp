#include "framework/graphics/vg/vg_font_check.h"

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/vg/vg_text_layout.h"
#include "tests/framework/graphics/vg/vg_test_font.h"

namespace plugkit::igraphics {
namespace {

using Bytes = std::vector<unsigned char>;
using test::RobotoBytes;
using test::TableOffset;

struct CacheDeleter {
  void operator()(VgGlyphCache* cache) const { VgGlyphCacheDelete(cache); }
};
using CachePtr = std::unique_ptr<VgGlyphCache, CacheDeleter>;

void PutU16(Bytes& bytes, size_t at, uint32_t value) {
  bytes[at] = static_cast<unsigned char>(value >> 8);
  bytes[at + 1] = static_cast<unsigned char>(value);
}

// Everything text drawing reads from a font: character map, metrics,
// kerning pairs and outlines, at two sizes, with the atlas renewed when full.
void DrawEverything(VgGlyphCache* cache, int font) {
  std::string text;
  for (char c = 32; c < 127; ++c) text += c;
  text += "\xC3\xA9\xE2\x82\xAC\xC3\x9F\xF0\x9F\x98\x80 AVAWAY LT P, Te";
  VgGlyphCacheState(cache).font = font;
  for (float size : {11.0f, 37.0f}) {
    VgGlyphCacheState(cache).size = size;
    VgTextIter iter;
    ASSERT_TRUE(VgTextIterInit(cache, &iter, 0, 0, text.c_str(), nullptr, kVgGlyphBitmapRequired));
    VgQuad quad;
    while (VgTextIterNext(&iter, &quad)) {
      if (iter.atlasFull) VgGlyphCacheResetAtlas(cache, 512, 512);
    }
  }
}

// Adds a copy of the bytes that is exactly as long as they are, so that the
// address checker sees any read past their end.
int AddCopy(VgGlyphCache* cache, const Bytes& bytes, std::unique_ptr<unsigned char[]>* keep) {
  keep->reset(new unsigned char[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), keep->get());
  return VgAddFontFromMemory(cache, "damaged", keep->get(), static_cast<int>(bytes.size()), 0,
                             false);
}

TEST(VgFontCheck, TruncatedFontsAreRefused) {
  const Bytes& full = RobotoBytes();
  ASSERT_FALSE(full.empty());
  std::vector<size_t> lengths = {1, 4, 11, 12, 13, 100, 211, 212, 300, 1000, 14000, 33664};
  for (size_t n = 40000; n < full.size(); n += 37171) lengths.push_back(n);
  lengths.push_back(full.size() - 1);
  lengths.push_back(full.size());
  for (size_t n : lengths) {
    CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
    std::unique_ptr<unsigned char[]> keep;
    const int font =
        AddCopy(cache.get(), Bytes(full.begin(), full.begin() + static_cast<long>(n)), &keep);
    EXPECT_EQ(font >= 0, n == full.size()) << n;
    if (font >= 0) DrawEverything(cache.get(), font);
  }
}

struct Damage {
  const char* name;
  std::function<void(Bytes&)> apply;
  bool accepted;
};

TEST(VgFontCheck, DamagedStructuresAreRefusedOrLeftUnread) {
  ASSERT_FALSE(RobotoBytes().empty());
  const size_t hhea = TableOffset(RobotoBytes(), "hhea");
  const size_t head = TableOffset(RobotoBytes(), "head");
  const size_t loca = TableOffset(RobotoBytes(), "loca");
  const size_t gpos = TableOffset(RobotoBytes(), "GPOS");
  const bool shortLoca = test::ReadI16(RobotoBytes(), head + 50) == 0;
  const std::vector<Damage> cases = {
      {"no horizontal metrics", [&](Bytes& b) { PutU16(b, hhea + 34, 0); }, false},
      {"zero height", [&](Bytes& b) { PutU16(b, hhea + 4, 0xFE0C); }, false}, // ascent -500
      {"unknown location format", [&](Bytes& b) { PutU16(b, head + 50, 7); }, false},
      {"glyph location past the end",
       [&](Bytes& b) {
         if (shortLoca) {
           PutU16(b, loca + 20, 0xFFFF);
         } else {
           PutU16(b, loca + 40, 0x7FFF);
         }
       },
       false},
      {"table past the end",
       [&](Bytes& b) {
         PutU16(b, 12 + 8, 0x7FFF); // offset of the first table
       },
       false},
      {"no glyph outlines (CFF)",
       [&](Bytes& b) {
         for (size_t record = 12; record < 12 + 16 * 13; record += 16) {
           if (b[record] == 'g' && b[record + 1] == 'l' && b[record + 2] == 'y')
             b[record + 3] = 'X';
         }
       },
       false},
      {"collection asked for a missing face",
       [&](Bytes& b) { b[0] = 't', b[1] = 't', b[2] = 'c', b[3] = 'f'; }, false},
      {"positioning lookups past the end", [&](Bytes& b) { PutU16(b, gpos + 8, 0xFFF0); }, true},
  };
  for (const Damage& damage : cases) {
    Bytes bytes = RobotoBytes();
    damage.apply(bytes);
    CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
    std::unique_ptr<unsigned char[]> keep;
    const int font = AddCopy(cache.get(), bytes, &keep);
    EXPECT_EQ(font >= 0, damage.accepted) << damage.name;
    if (font >= 0) DrawEverything(cache.get(), font);
  }
}

TEST(VgFontCheck, DamagedPositioningTableOnlyLosesKerning) {
  Bytes bytes = RobotoBytes();
  PutU16(bytes, TableOffset(bytes, "GPOS") + 8, 0xFFF0);
  CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
  std::unique_ptr<unsigned char[]> keep;
  ASSERT_EQ(AddCopy(cache.get(), bytes, &keep), 0);
  VgGlyphCacheState(cache.get()).size = 50.0f;
  const float pair = VgTextBounds(cache.get(), 0, 0, "LT", nullptr, nullptr);
  EXPECT_EQ(pair, VgTextBounds(cache.get(), 0, 0, "L", nullptr, nullptr) +
                      VgTextBounds(cache.get(), 0, 0, "T", nullptr, nullptr));
}

TEST(VgFontCheck, CharacterMapsThatMisleadTheLookupAreRefused) {
  ASSERT_FALSE(RobotoBytes().empty());
  const Bytes good = test::RobotoWithCharacterMap({{'A', 36}, {'B', 37}, {'C', 38}});
  const size_t subtable = (RobotoBytes().size() + 3) / 4 * 4 + 12;
  const struct {
    const char* name;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"search range", subtable + 8, 2},
      {"entry selector", subtable + 10, 9},
      {"range shift", subtable + 12, 2},
      {"segment count", subtable + 6, 0},
      {"range offset past the end", subtable + 16 + 6 * 4, 0xFFF0},
      {"unknown format", subtable, 2},
  };
  CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
  std::unique_ptr<unsigned char[]> keep;
  ASSERT_GE(AddCopy(cache.get(), good, &keep), 0);
  for (const auto& c : cases) {
    Bytes bad = good;
    PutU16(bad, c.at, c.value);
    std::unique_ptr<unsigned char[]> badKeep;
    EXPECT_EQ(AddCopy(cache.get(), bad, &badKeep), -1) << c.name;
  }
}

TEST(VgFontCheck, SelfReferencingCompositeGlyphDrawsNothing) {
  Bytes bytes = RobotoBytes();
  stbtt_fontinfo info;
  ASSERT_TRUE(stbtt_InitFont(&info, bytes.data(), 0));
  const int glyph = stbtt_FindGlyphIndex(&info, 'A');
  const size_t loca = static_cast<size_t>(info.loca);
  const size_t at =
      static_cast<size_t>(info.glyf) +
      (info.indexToLocFormat == 0
           ? 2u * static_cast<size_t>((bytes[loca + 2 * glyph] << 8) | bytes[loca + 2 * glyph + 1])
           : test::ReadU32(bytes, loca + 4 * static_cast<size_t>(glyph)));
  PutU16(bytes, at, 0xFFFF);      // composite
  PutU16(bytes, at + 10, 0x0003); // word arguments, xy values
  PutU16(bytes, at + 12, static_cast<uint32_t>(glyph));
  CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
  std::unique_ptr<unsigned char[]> keep;
  ASSERT_EQ(AddCopy(cache.get(), bytes, &keep), 0);
  VgFont* font = VgGlyphCacheFont(cache.get(), 0);
  const VgGlyph* a = VgGlyphCacheGetGlyph(cache.get(), font, 'A', 400, 0, kVgGlyphBitmapRequired);
  ASSERT_NE(a, nullptr);
  EXPECT_GT(a->xadv, 0);
  EXPECT_EQ(a->x1 - a->x0, 4); // padding only
  EXPECT_TRUE(
      VgFontGlyphSafe(info, static_cast<int>(bytes.size()), stbtt_FindGlyphIndex(&info, 'B')));
  EXPECT_FALSE(VgFontGlyphSafe(info, static_cast<int>(bytes.size()), glyph));
  EXPECT_FALSE(VgFontGlyphSafe(info, static_cast<int>(bytes.size()), -1));
  EXPECT_FALSE(VgFontGlyphSafe(info, static_cast<int>(bytes.size()), info.numGlyphs));
}

// Random damage anywhere in the font: it is refused or drawn, and nothing is
// read outside its bytes (the address checker of the sanitizer build watches).
TEST(VgFontCheck, RandomlyDamagedFontsAreReadSafely) {
  const Bytes& original = RobotoBytes();
  ASSERT_FALSE(original.empty());
  const size_t regions[][2] = {
      {0, 220},
      {TableOffset(original, "cmap"), 6348},
      {TableOffset(original, "loca"), 13440},
      {TableOffset(original, "hhea"), 36},
      {TableOffset(original, "glyf"), 2000},
      {TableOffset(original, "GPOS"), 4000},
  };
  std::mt19937 random(20261209);
  int accepted = 0;
  for (int round = 0; round < 240; ++round) {
    Bytes bytes = original;
    const auto& region = regions[static_cast<size_t>(round) % std::size(regions)];
    std::uniform_int_distribution<size_t> where(region[0], region[0] + region[1] - 1);
    std::uniform_int_distribution<int> value(0, 255);
    const int changes = 1 + round % 6;
    for (int i = 0; i < changes; ++i)
      bytes[where(random)] = static_cast<unsigned char>(value(random));
    CachePtr cache(VgGlyphCacheCreate(VgGlyphCacheParams{}));
    std::unique_ptr<unsigned char[]> keep;
    const int font = AddCopy(cache.get(), bytes, &keep);
    if (font < 0) continue;
    ++accepted;
    DrawEverything(cache.get(), font);
  }
  EXPECT_GT(accepted, 40);
}

} // namespace
} // namespace plugkit::igraphics
