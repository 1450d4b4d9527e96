#pragma once

#include <cstdint>

#include "framework/graphics/vg/vg_glyph_cache.h"

namespace plugkit::igraphics {

// Previous-glyph value for a glyph that came from a fallback font: the pen
// still gets letter spacing, but no kerning pair is looked up with it.
constexpr int kVgPrevGlyphUnkerned = -2;

// Walks a UTF-8 text glyph by glyph under the cache's current state.
struct VgTextIter {
  VgGlyphCache* cache = nullptr;
  VgFont* font = nullptr;
  float x = 0, y = 0;
  float nextx = 0, nexty = 0;
  float scale = 0;
  float spacing = 0;
  uint32_t codepoint = 0;
  int16_t isize = 0;
  int16_t iblur = 0;
  int prevGlyphIndex = -1;
  const char* str = nullptr;
  const char* next = nullptr;
  const char* end = nullptr;
  uint32_t utf8state = 0;
  int bitmapOption = kVgGlyphBitmapOptional;
  // The glyph of the last step (null: the step gave no quad; valid until the
  // next step), and whether it was missing because the atlas had no room.
  const VgGlyph* glyph = nullptr;
  bool atlasFull = false;
};

// The previous-glyph value that a caller keeps after glyph (-1 for none).
int VgPrevGlyphIndex(const VgGlyph* glyph);

// Places glyph after the pen (kerned against the previous glyph index, -1
// for none) and advances the pen.
VgQuad VgGlyphCacheGetQuad(const VgGlyphCache* cache, const VgFont* font, int prevGlyphIndex,
                           const VgGlyph* glyph, float scale, float spacing, float* x, float* y);

// Offset from the anchor y to the baseline for the vertical alignment bits.
float VgGlyphCacheVerticalAlign(const VgGlyphCache* cache, const VgFont* font, int align,
                                int16_t isize);

// Measures text (end null: up to its terminating zero) at (x, y); returns the
// advance and, when bounds is given, writes min x, min y, max x, max y.
float VgTextBounds(VgGlyphCache* cache, float x, float y, const char* text, const char* end,
                   float* bounds);
// Vertical extent of a line at y; false (outputs untouched) for an invalid font.
bool VgTextLineBounds(VgGlyphCache* cache, float y, float* miny, float* maxy);

// False for an invalid font.
bool VgTextIterInit(VgGlyphCache* cache, VgTextIter* iter, float x, float y, const char* text,
                    const char* end, int bitmapOption);
// Decodes the next code point: true with its quad, false at the end of the
// text (also after an invalid or cut-off sequence). A step whose code point
// has no glyph returns true with iter->glyph null and an empty quad.
bool VgTextIterNext(VgTextIter* iter, VgQuad* quad);

} // namespace plugkit::igraphics
