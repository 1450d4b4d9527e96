#pragma once

#include <cstdint>

namespace plugkit {

struct VgContext;
struct VgState;

// One row of text broken to a width: [start, end) holds its visible text,
// next where the following row begins; widths and x are relative to the
// row's start.
struct VgTextRow {
  const char* start = nullptr;
  const char* end = nullptr;
  const char* next = nullptr;
  float width = 0.0f;
  float minx = 0.0f;
  float maxx = 0.0f;
};

// The transform's scale as text sees it: rounded to 0.01, at most 4, so
// glyphs are rasterised at a few sizes only.
float VgFontScale(const VgState& state);

// Draws UTF-8 text (end null: up to its terminating zero) with the fill
// paint at (x, y) under the state's font and alignment; returns the x after
// the text, or x when nothing can be drawn.
float VgText(VgContext* ctx, float x, float y, const char* text, const char* end);

// Breaks text into rows no wider than breakWidth, at spaces, before CJK
// characters, and between letters of words that do not fit; newlines always
// break. Writes at most maxRows rows and returns how many; the next call
// continues at the last row's next.
int32_t VgTextBreakLines(VgContext* ctx, const char* text, const char* end, float breakWidth,
                         VgTextRow* rows, int32_t maxRows);

// Uploads what the glyph cache rasterised since the last upload into the
// current atlas image.
void VgFlushTextTexture(VgContext* ctx);
// Moves to the next atlas image (made larger than the current one when
// new); false when all are in use or the image cannot be made.
bool VgNextTextAtlas(VgContext* ctx);

} // namespace plugkit
