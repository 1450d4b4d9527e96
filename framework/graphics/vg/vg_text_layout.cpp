#include "framework/graphics/vg/vg_text_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/core/utf8_stream_decoder.h"

namespace plugkit::igraphics {
namespace {

int16_t Tenths(float value) {
  const float tenths = value * 10.0f;
  if (!(tenths > -32768.0f)) return tenths < 0 ? -32768 : 0; // also NaN
  return tenths > 32767.0f ? 32767 : static_cast<int16_t>(tenths);
}

int16_t WholeBlur(float value) {
  if (!(value > 0.0f)) return 0;
  return static_cast<int16_t>(std::min(value, static_cast<float>(kVgMaxGlyphBlur)));
}

bool TopLeft(const VgGlyphCache* cache) {
  return (cache->params.flags & kVgGlyphCacheOriginTopLeft) != 0;
}

float Scale(const VgFont* font, int16_t isize) {
  return (static_cast<float>(isize) / 10.0f) / static_cast<float>(font->unitsHeight);
}

// The font of the current state when it can be measured, else null.
VgFont* StateFont(VgGlyphCache* cache) {
  if (!cache) return nullptr;
  VgFont* font = VgGlyphCacheFont(cache, VgGlyphCacheState(cache).font);
  return font && font->data ? font : nullptr;
}

// Horizontal shift of text of this advance under the alignment bits.
float AlignShift(int align, float advance) {
  if (align & kVgAlignLeft) return 0.0f;
  if (align & kVgAlignRight) return -advance;
  if (align & kVgAlignCenter) return -advance * 0.5f;
  return 0.0f;
}

const char* TextEnd(const char* text, const char* end) {
  return end ? end : text + std::strlen(text);
}

} // namespace

int VgPrevGlyphIndex(const VgGlyph* glyph) {
  if (!glyph) return -1;
  return glyph->fallback ? kVgPrevGlyphUnkerned : glyph->index;
}

VgQuad VgGlyphCacheGetQuad(const VgGlyphCache* cache, const VgFont* font, int prevGlyphIndex,
                           const VgGlyph* glyph, float scale, float spacing, float* x, float* y) {
  if (prevGlyphIndex != -1) {
    const int kern = prevGlyphIndex >= 0 && !glyph->fallback
                         ? stbtt_GetGlyphKernAdvance(&font->info, prevGlyphIndex, glyph->index)
                         : 0;
    *x += std::trunc(static_cast<float>(kern) * scale + spacing + 0.5f);
  }
  // The padding frame around the bitmap is cleared; the quad skips its
  // outermost pixel on each side.
  const float x0 = glyph->x0 + 1.0f;
  const float y0 = glyph->y0 + 1.0f;
  const float x1 = glyph->x1 - 1.0f;
  const float y1 = glyph->y1 - 1.0f;
  const float xoff = glyph->xoff + 1.0f;
  const float yoff = glyph->yoff + 1.0f;
  VgQuad q;
  const float rx = std::trunc(*x + xoff);
  q.x0 = rx;
  q.x1 = rx + x1 - x0;
  if (TopLeft(cache)) {
    const float ry = std::trunc(*y + yoff);
    q.y0 = ry;
    q.y1 = ry + y1 - y0;
  } else {
    const float ry = std::trunc(*y - yoff);
    q.y0 = ry;
    q.y1 = ry - (y1 - y0);
  }
  q.s0 = x0 * cache->itw;
  q.t0 = y0 * cache->ith;
  q.s1 = x1 * cache->itw;
  q.t1 = y1 * cache->ith;
  *x += std::trunc(static_cast<float>(glyph->xadv) / 10.0f + 0.5f);
  return q;
}

float VgGlyphCacheVerticalAlign(const VgGlyphCache* cache, const VgFont* font, int align,
                                int16_t isize) {
  const float size = static_cast<float>(isize) / 10.0f;
  float offset = 0.0f;
  if (align & kVgAlignTop) {
    offset = font->ascender * size;
  } else if (align & kVgAlignMiddle) {
    offset = (font->ascender + font->descender) / 2.0f * size;
  } else if (align & kVgAlignBaseline) {
    offset = 0.0f;
  } else if (align & kVgAlignBottom) {
    offset = font->descender * size;
  }
  return TopLeft(cache) ? offset : -offset;
}

float VgTextBounds(VgGlyphCache* cache, float x, float y, const char* text, const char* end,
                   float* bounds) {
  VgFont* font = StateFont(cache);
  if (!font || !text) return 0.0f;
  const VgGlyphState& state = VgGlyphCacheState(cache);
  const int16_t isize = Tenths(state.size);
  const int16_t iblur = WholeBlur(state.blur);
  const float scale = Scale(font, isize);
  y += VgGlyphCacheVerticalAlign(cache, font, state.align, isize);
  float minx = x, maxx = x, miny = y, maxy = y;
  const float startx = x;
  const bool topLeft = TopLeft(cache);
  int prev = -1;
  uint32_t decoder = kUtf8StreamAccept;
  uint32_t codepoint = 0;
  for (const char *p = text, *stop = TextEnd(text, end); p < stop; ++p) {
    const uint32_t result = Utf8StreamDecode(&decoder, &codepoint, static_cast<uint8_t>(*p));
    if (result == kUtf8StreamReject) break;
    if (result != kUtf8StreamAccept) continue;
    const VgGlyph* glyph =
        VgGlyphCacheGetGlyph(cache, font, codepoint, isize, iblur, kVgGlyphBitmapOptional);
    if (glyph) {
      const VgQuad q = VgGlyphCacheGetQuad(cache, font, prev, glyph, scale, state.spacing, &x, &y);
      minx = std::min(minx, q.x0);
      maxx = std::max(maxx, q.x1);
      miny = std::min(miny, topLeft ? q.y0 : q.y1);
      maxy = std::max(maxy, topLeft ? q.y1 : q.y0);
    }
    prev = VgPrevGlyphIndex(glyph);
  }
  const float advance = x - startx;
  const float shift = AlignShift(state.align, advance);
  if (bounds) {
    bounds[0] = minx + shift;
    bounds[1] = miny;
    bounds[2] = maxx + shift;
    bounds[3] = maxy;
  }
  return advance;
}

bool VgTextLineBounds(VgGlyphCache* cache, float y, float* miny, float* maxy) {
  const VgFont* font = StateFont(cache);
  if (!font) return false;
  const VgGlyphState& state = VgGlyphCacheState(cache);
  const int16_t isize = Tenths(state.size);
  const float size = static_cast<float>(isize) / 10.0f;
  y += VgGlyphCacheVerticalAlign(cache, font, state.align, isize);
  if (TopLeft(cache)) {
    *miny = y - font->ascender * size;
    *maxy = *miny + font->lineh * size;
  } else {
    *maxy = y + font->descender * size;
    *miny = *maxy - font->lineh * size;
  }
  return true;
}

bool VgTextIterInit(VgGlyphCache* cache, VgTextIter* iter, float x, float y, const char* text,
                    const char* end, int bitmapOption) {
  *iter = VgTextIter{};
  VgFont* font = StateFont(cache);
  if (!font || !text) return false;
  const VgGlyphState& state = VgGlyphCacheState(cache);
  iter->cache = cache;
  iter->font = font;
  iter->isize = Tenths(state.size);
  iter->iblur = WholeBlur(state.blur);
  iter->scale = Scale(font, iter->isize);
  iter->spacing = state.spacing;
  iter->end = TextEnd(text, end);
  if (!(state.align & kVgAlignLeft) && (state.align & (kVgAlignRight | kVgAlignCenter))) {
    x += AlignShift(state.align, VgTextBounds(cache, x, y, text, iter->end, nullptr));
  }
  y += VgGlyphCacheVerticalAlign(cache, font, state.align, iter->isize);
  iter->x = iter->nextx = x;
  iter->y = iter->nexty = y;
  iter->str = iter->next = text;
  iter->bitmapOption = bitmapOption;
  return true;
}

bool VgTextIterNext(VgTextIter* iter, VgQuad* quad) {
  *quad = VgQuad{};
  iter->glyph = nullptr;
  iter->atlasFull = false;
  const char* p = iter->next;
  iter->str = p;
  bool complete = false;
  while (p < iter->end && !complete) {
    const uint32_t result =
        Utf8StreamDecode(&iter->utf8state, &iter->codepoint, static_cast<uint8_t>(*p++));
    if (result == kUtf8StreamReject) p = iter->end;
    complete = result == kUtf8StreamAccept;
  }
  iter->next = p;
  // A cut-off or invalid sequence ends the text: there is no glyph to give.
  if (!complete) return false;
  iter->x = iter->nextx;
  iter->y = iter->nexty;
  VgGlyph* glyph = VgGlyphCacheGetGlyph(iter->cache, iter->font, iter->codepoint, iter->isize,
                                        iter->iblur, iter->bitmapOption, &iter->atlasFull);
  if (glyph) {
    *quad = VgGlyphCacheGetQuad(iter->cache, iter->font, iter->prevGlyphIndex, glyph, iter->scale,
                                iter->spacing, &iter->nextx, &iter->nexty);
  }
  iter->glyph = glyph;
  iter->prevGlyphIndex = VgPrevGlyphIndex(glyph);
  return true;
}

} // namespace plugkit::igraphics
