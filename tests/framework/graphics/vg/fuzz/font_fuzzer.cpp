#include <cstddef>
#include <cstdint>

#include "framework/graphics/vg/vg_glyph_cache.h"
#include "framework/graphics/vg/vg_text_layout.h"

namespace {

using namespace plugkit::igraphics;

// Code points from the character map's ranges, kerning pairs and glyphs that
// are composed of others.
constexpr const char* kText =
    " !09AZaz~ AVAWAY LT P, Te fi \xC3\xA9\xC3\x85\xE2\x82\xAC\xEF\xAC\x81\xF0\x9F\x98\x80";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  VgGlyphCacheParams params;
  params.width = 256;
  params.height = 256;
  VgGlyphCache* cache = VgGlyphCacheCreate(params);
  if (!cache) return 0;
  const int font = VgAddFontFromMemory(cache, "fuzz", data, static_cast<int>(size), 0, false);
  if (font >= 0) {
    VgGlyphCacheState(cache).font = font;
    for (float pixels : {7.0f, 41.0f}) {
      VgGlyphCacheState(cache).size = pixels;
      float bounds[4];
      VgTextBounds(cache, 0, 0, kText, nullptr, bounds);
      VgTextIter iter;
      if (VgTextIterInit(cache, &iter, 0, 0, kText, nullptr, kVgGlyphBitmapRequired)) {
        VgQuad quad;
        while (VgTextIterNext(&iter, &quad)) {
          if (iter.atlasFull) VgGlyphCacheResetAtlas(cache, 256, 256);
        }
      }
    }
  }
  VgGlyphCacheDelete(cache);
  return 0;
}
