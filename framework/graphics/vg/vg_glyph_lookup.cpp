#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "framework/graphics/vg/vg_font_check.h"
#include "framework/graphics/vg/vg_glyph_cache.h"
#include "framework/graphics/vg/vg_glyph_raster.h"

namespace plugkit::igraphics {
namespace {

uint32_t HashCodepoint(uint32_t h) {
  h += ~(h << 15);
  h ^= (h >> 10);
  h += (h << 3);
  h ^= (h >> 6);
  h += ~(h << 11);
  h ^= (h >> 16);
  return h;
}

int16_t Saturate16(double value) {
  if (!(value > -32768.0)) return value < 0 ? -32768 : 0; // also NaN
  if (value > 32767.0) return 32767;
  return static_cast<int16_t>(value);
}

// Glyph index of codepoint in font, 0 when it has none. Indices past the
// glyph count (a damaged character map) count as none.
int FindGlyphIndex(const VgFont& font, uint32_t codepoint) {
  if (codepoint > 0x10FFFF) return 0;
  const int index = stbtt_FindGlyphIndex(&font.info, static_cast<int>(codepoint));
  return index > 0 && index < font.info.numGlyphs ? index : 0;
}

struct Source {
  const VgFont* font;
  int index;
  bool fallback;
};

Source FindSource(const VgGlyphCache* cache, const VgFont* font, uint32_t codepoint) {
  const int index = FindGlyphIndex(*font, codepoint);
  if (index != 0) return {font, index, false};
  for (int i = 0; i < font->nfallbacks; ++i) {
    const VgFont* fallback = VgGlyphCacheFont(cache, font->fallbacks[i]);
    const int fallbackIndex = fallback ? FindGlyphIndex(*fallback, codepoint) : 0;
    if (fallbackIndex != 0) return {fallback, fallbackIndex, true};
  }
  return {font, 0, false};
}

void ExtendDirty(VgGlyphCache* cache, const VgGlyph& glyph) {
  cache->dirtyRect[0] = std::min<int>(cache->dirtyRect[0], glyph.x0);
  cache->dirtyRect[1] = std::min<int>(cache->dirtyRect[1], glyph.y0);
  cache->dirtyRect[2] = std::max<int>(cache->dirtyRect[2], glyph.x1);
  cache->dirtyRect[3] = std::max<int>(cache->dirtyRect[3], glyph.y1);
}

void ClearFrame(VgGlyphCache* cache, const VgGlyph& glyph) {
  const int stride = cache->params.width;
  uint8_t* tex = cache->texData.get();
  const int w = glyph.x1 - glyph.x0;
  for (int y = glyph.y0; y < glyph.y1; ++y) {
    tex[y * stride + glyph.x0] = 0;
    tex[y * stride + glyph.x1 - 1] = 0;
  }
  std::memset(tex + glyph.y0 * stride + glyph.x0, 0, static_cast<size_t>(w));
  std::memset(tex + (glyph.y1 - 1) * stride + glyph.x0, 0, static_cast<size_t>(w));
}

} // namespace

VgGlyph* VgGlyphCacheGetGlyph(VgGlyphCache* cache, VgFont* font, uint32_t codepoint, int16_t isize,
                              int16_t iblur, int bitmapOption, bool* atlasFull) {
  if (atlasFull) *atlasFull = false;
  if (!cache || !font || isize < 2) return nullptr;
  VgGlyphCacheScratchReset(cache);
  const int blur = std::clamp<int>(iblur, 0, kVgMaxGlyphBlur);
  const bool required = bitmapOption == kVgGlyphBitmapRequired;

  const uint32_t bucket = HashCodepoint(codepoint) & (kVgGlyphHashSize - 1);
  int existing = -1;
  for (int i = font->lut[bucket]; i != -1; i = font->glyphs[static_cast<size_t>(i)].next) {
    VgGlyph& glyph = font->glyphs[static_cast<size_t>(i)];
    if (glyph.codepoint == codepoint && glyph.size == isize && glyph.blur == blur) {
      if (!required || glyph.x0 >= 0) return &glyph;
      existing = i;
      break;
    }
  }

  const Source source = FindSource(cache, font, codepoint);
  const stbtt_fontinfo& info = source.font->info;
  const float scale =
      (static_cast<float>(isize) / 10.0f) / static_cast<float>(source.font->unitsHeight);
  int advance = 0;
  int leftBearing = 0;
  stbtt_GetGlyphHMetrics(&info, source.index, &advance, &leftBearing);
  const bool outline = VgFontGlyphSafe(info, source.font->dataSize, source.index);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (outline) stbtt_GetGlyphBitmapBox(&info, source.index, scale, scale, &x0, &y0, &x1, &y1);
  const int pad = blur + 2;
  const int gw = x1 - x0 + pad * 2;
  const int gh = y1 - y0 + pad * 2;

  int gx = -1;
  int gy = -1;
  if (required && !VgAtlasAddRect(cache->atlas, gw, gh, &gx, &gy)) {
    if (atlasFull) *atlasFull = gw <= kVgLargestAtlasSide && gh <= kVgLargestAtlasSide;
    return nullptr;
  }

  if (existing < 0) {
    try {
      font->glyphs.emplace_back();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    existing = static_cast<int>(font->glyphs.size()) - 1;
    VgGlyph& added = font->glyphs.back();
    added.codepoint = codepoint;
    added.size = isize;
    added.blur = static_cast<int16_t>(blur);
    added.next = font->lut[bucket];
    font->lut[bucket] = existing;
  }
  VgGlyph& glyph = font->glyphs[static_cast<size_t>(existing)];
  glyph.index = source.index;
  glyph.fallback = source.fallback;
  glyph.x0 = Saturate16(gx);
  glyph.y0 = Saturate16(gy);
  glyph.x1 = Saturate16(static_cast<double>(gx) + gw);
  glyph.y1 = Saturate16(static_cast<double>(gy) + gh);
  glyph.xadv = Saturate16(static_cast<double>(static_cast<float>(advance) * scale * 10.0f));
  glyph.xoff = Saturate16(x0 - pad);
  glyph.yoff = Saturate16(y0 - pad);
  if (!required) return &glyph;

  const int stride = cache->params.width;
  if (outline && x1 > x0 && y1 > y0) {
    uint8_t* dst = cache->texData.get() + (gy + pad) * stride + gx + pad;
    stbtt_MakeGlyphBitmap(&info, dst, x1 - x0, y1 - y0, stride, scale, scale, source.index);
  }
  ClearFrame(cache, glyph);
  if (blur > 0) {
    VgGlyphCacheScratchReset(cache);
    VgBlurGlyph(cache->texData.get() + gy * stride + gx, gw, gh, stride, blur);
  }
  ExtendDirty(cache, glyph);
  return &glyph;
}

} // namespace plugkit::igraphics
