#include "framework/graphics/vg/vg_text.h"

#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_glyph_cache.h"
#include "framework/graphics/vg/vg_text_layout.h"
#include "framework/graphics/vg/vg_transform.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plugkit {

using igraphics::VgGlyphState;
using igraphics::VgQuad;
using igraphics::VgTextIter;

namespace {

constexpr float kMaxFontScale = 4.0f;
constexpr int32_t kMaxAtlasSize = 2048;

// The scale text is laid out at, or 0 when the state cannot draw text.
float TextScale(VgContext* ctx, const VgState& state) {
  const float scale = VgFontScale(state) * ctx->devicePxRatio;
  return scale > 0.0f && std::isfinite(scale) ? scale : 0.0f;
}

void SetGlyphState(VgContext* ctx, const VgState& state, float scale) {
  VgGlyphState& gs = igraphics::VgGlyphCacheState(ctx->glyphCache);
  gs.size = state.fontSize * scale;
  gs.spacing = state.letterSpacing * scale;
  gs.blur = state.fontBlur * scale;
  gs.align = state.textAlign;
  gs.font = state.fontId;
}

void RenderText(VgContext* ctx, const VgVertex* verts, int32_t count) {
  if (count == 0) return;
  const VgState* state = VgGetState(ctx);
  VgPaint paint = state->fill;
  paint.image = ctx->fontImages[ctx->fontImageIdx];
  paint.innerColor.a *= state->alpha;
  paint.outerColor.a *= state->alpha;
  ctx->callbacks.triangles(ctx->callbacks.user, &paint, state->blend, &state->scissor, verts, count,
                           ctx->fringeWidth);
  ++ctx->drawCallCount;
  ctx->textTriCount += count / 3;
}

// Two triangles of the glyph quad under the transform, facing the same way
// as fills: a mirroring transform turns the quad over, so its corners are
// then taken the other way round (back faces are culled).
VgVertex* EmitQuad(VgVertex* dst, const VgQuad& q, const float* xform, float invscale) {
  VgVertex c[4] = {{0, 0, q.s0, q.t0}, {0, 0, q.s1, q.t0}, {0, 0, q.s1, q.t1}, {0, 0, q.s0, q.t1}};
  VgTransformPoint(&c[0].x, &c[0].y, xform, q.x0 * invscale, q.y0 * invscale);
  VgTransformPoint(&c[1].x, &c[1].y, xform, q.x1 * invscale, q.y0 * invscale);
  VgTransformPoint(&c[2].x, &c[2].y, xform, q.x1 * invscale, q.y1 * invscale);
  VgTransformPoint(&c[3].x, &c[3].y, xform, q.x0 * invscale, q.y1 * invscale);
  static constexpr int kFacing[6] = {0, 2, 1, 0, 3, 2};
  static constexpr int kMirrored[6] = {0, 1, 2, 0, 2, 3};
  const bool mirrored = xform[0] * xform[3] - xform[2] * xform[1] < 0.0f;
  for (const int corner : mirrored ? kMirrored : kFacing) *dst++ = c[corner];
  return dst;
}

enum class Glyph { Space, Newline, Char, Cjk };

Glyph Classify(uint32_t codepoint, uint32_t previous) {
  switch (codepoint) {
    case 9:
    case 11:
    case 12:
    case 32:
    case 160:
      return Glyph::Space;
    case 10:
      return previous == 13 ? Glyph::Space : Glyph::Newline;
    case 13:
      return previous == 10 ? Glyph::Space : Glyph::Newline;
    case 133:
      return Glyph::Newline;
    default:
      break;
  }
  const bool cjk = (codepoint >= 0x4E00 && codepoint <= 0x9FFF) ||
                   (codepoint >= 0x3000 && codepoint <= 0x30FF) ||
                   (codepoint >= 0xFF00 && codepoint <= 0xFFEF) ||
                   (codepoint >= 0x1100 && codepoint <= 0x11FF) ||
                   (codepoint >= 0x3130 && codepoint <= 0x318F) ||
                   (codepoint >= 0xAC00 && codepoint <= 0xD7AF);
  return cjk ? Glyph::Cjk : Glyph::Char;
}

// The row being gathered by VgTextBreakLines, in scaled units.
struct OpenRow {
  const char* start = nullptr; // null: no row open (spaces are skipped)
  const char* end = nullptr;
  float startX = 0.0f;
  float width = 0.0f;
  float minX = 0.0f;
  float maxX = 0.0f;
  // Where the row may break (null: nowhere yet) and its extent up to there.
  const char* breakEnd = nullptr;
  float breakWidth = 0.0f;
  float breakMaxX = 0.0f;
  // Where the last word began; the row after a break starts there.
  const char* wordStart = nullptr;
  float wordStartX = 0.0f;
  float wordMinX = 0.0f;
};

// A glyph's horizontal extent; a code point without a glyph has none.
struct Extent {
  float x0, x1;
};

void OpenAt(OpenRow* row, const VgTextIter& it, Extent e) {
  row->start = it.str;
  row->end = it.next;
  row->startX = it.x;
  row->width = it.nextx - it.x;
  row->minX = e.x0 - it.x;
  row->maxX = e.x1 - it.x;
  row->breakEnd = nullptr;
  row->wordStart = it.str;
  row->wordStartX = it.x;
  row->wordMinX = e.x0;
}

VgTextRow MakeRow(const char* start, const char* end, const char* next, float width, float minx,
                  float maxx, float invscale) {
  return VgTextRow{start, end, next, width * invscale, minx * invscale, maxx * invscale};
}

} // namespace

float VgFontScale(const VgState& state) {
  const float s = VgTransformAverageScale(state.xform);
  const float rounded = static_cast<float>(static_cast<int32_t>(s / 0.01f + 0.5f)) * 0.01f;
  return std::min(rounded, kMaxFontScale);
}

void VgFlushTextTexture(VgContext* ctx) {
  int dirty[4];
  if (!igraphics::VgGlyphCacheValidateTexture(ctx->glyphCache, dirty)) return;
  const int32_t image = ctx->fontImages[ctx->fontImageIdx];
  if (image == 0) return;
  int width = 0;
  int height = 0;
  const uint8_t* data = igraphics::VgGlyphCacheTextureData(ctx->glyphCache, &width, &height);
  ctx->callbacks.updateTexture(ctx->callbacks.user, image, dirty[0], dirty[1], dirty[2] - dirty[0],
                               dirty[3] - dirty[1], data);
}

bool VgNextTextAtlas(VgContext* ctx) {
  VgFlushTextTexture(ctx);
  if (ctx->fontImageIdx >= kVgMaxFontAtlases - 1) return false;
  const int32_t next = ctx->fontImageIdx + 1;
  int32_t width = 0;
  int32_t height = 0;
  if (ctx->fontImages[next] != 0) {
    if (!ctx->callbacks.getTextureSize(ctx->callbacks.user, ctx->fontImages[next], &width, &height))
      return false;
  } else {
    if (!ctx->callbacks.getTextureSize(ctx->callbacks.user, ctx->fontImages[ctx->fontImageIdx],
                                       &width, &height))
      return false;
    if (height < width)
      height *= 2;
    else
      width *= 2;
    if (width > kMaxAtlasSize || height > kMaxAtlasSize) width = height = kMaxAtlasSize;
    const int32_t image = ctx->callbacks.createTexture(ctx->callbacks.user, kVgTextureAlpha, width,
                                                       height, 0, nullptr);
    // Without an image the glyphs would be drawn from nothing.
    if (image == 0) return false;
    ctx->fontImages[next] = image;
  }
  // The cache must match the image before glyphs go into it.
  if (!igraphics::VgGlyphCacheResetAtlas(ctx->glyphCache, width, height)) return false;
  ctx->fontImageIdx = next;
  return true;
}

float VgText(VgContext* ctx, float x, float y, const char* text, const char* end) {
  const VgState* state = VgGetState(ctx);
  const float scale = TextScale(ctx, *state);
  // A position that is not a number would give every quad the same fault.
  if (text == nullptr || state->fontId == -1 || scale == 0.0f || !std::isfinite(x) ||
      !std::isfinite(y))
    return x;
  const float invscale = 1.0f / scale;
  if (end == nullptr) end = text + std::strlen(text);
  if (end < text) return x;

  SetGlyphState(ctx, *state, scale);
  const int64_t capacity = std::max<int64_t>(2, end - text) * 6;
  if (capacity > INT32_MAX) return x;
  VgVertex* verts = VgAllocTempVerts(ctx->cache, static_cast<int32_t>(capacity));
  if (verts == nullptr) return x;

  VgTextIter iter;
  if (!igraphics::VgTextIterInit(ctx->glyphCache, &iter, x * scale, y * scale, text, end,
                                 igraphics::kVgGlyphBitmapRequired))
    return x;
  VgTextIter before = iter;
  VgQuad q;
  int32_t count = 0;
  while (igraphics::VgTextIterNext(&iter, &q)) {
    if (iter.atlasFull) {
      // Draw what uses the full atlas, then take the glyph again in a new
      // one, and in the one after that while the glyph is too big for it.
      RenderText(ctx, verts, count);
      count = 0;
      while (iter.atlasFull && VgNextTextAtlas(ctx)) {
        iter = before;
        igraphics::VgTextIterNext(&iter, &q);
      }
      if (iter.atlasFull) break;
    }
    before = iter;
    if (iter.glyph == nullptr) continue;
    if (count + 6 > capacity) continue;
    EmitQuad(verts + count, q, state->xform, invscale);
    count += 6;
  }
  VgFlushTextTexture(ctx);
  RenderText(ctx, verts, count);
  return iter.nextx * invscale;
}

int32_t VgTextBreakLines(VgContext* ctx, const char* text, const char* end, float breakWidth,
                         VgTextRow* rows, int32_t maxRows) {
  const VgState* state = VgGetState(ctx);
  const float scale = TextScale(ctx, *state);
  if (text == nullptr || rows == nullptr || maxRows <= 0 || state->fontId == -1 || scale == 0.0f)
    return 0;
  if (end == nullptr) end = text + std::strlen(text);
  if (end <= text) return 0;
  const float invscale = 1.0f / scale;
  SetGlyphState(ctx, *state, scale);
  breakWidth *= scale;

  // Measuring needs no bitmaps, so the atlas is never full here.
  VgTextIter it;
  if (!igraphics::VgTextIterInit(ctx->glyphCache, &it, 0, 0, text, end,
                                 igraphics::kVgGlyphBitmapOptional))
    return 0;
  int32_t count = 0;
  OpenRow row;
  VgQuad q;
  uint32_t previous = 0;
  Glyph ptype = Glyph::Space;
  while (igraphics::VgTextIterNext(&it, &q)) {
    const Glyph type = Classify(it.codepoint, previous);
    const Extent e = it.glyph != nullptr ? Extent{q.x0, q.x1} : Extent{it.x, it.x};
    const bool isChar = type == Glyph::Char || type == Glyph::Cjk;
    previous = it.codepoint;
    if (type == Glyph::Newline) {
      rows[count++] = row.start != nullptr ? MakeRow(row.start, row.end, it.next, row.width,
                                                     row.minX, row.maxX, invscale)
                                           : MakeRow(it.str, it.str, it.next, 0, 0, 0, invscale);
      if (count == maxRows) return count;
      row = OpenRow{};
    } else if (row.start == nullptr) {
      if (isChar) OpenAt(&row, it, e);
    } else {
      const bool afterChar = ptype == Glyph::Char || ptype == Glyph::Cjk;
      if ((afterChar && type == Glyph::Space) || type == Glyph::Cjk) {
        row.breakEnd = it.str;
        row.breakWidth = row.width;
        row.breakMaxX = row.maxX;
      }
      if ((ptype == Glyph::Space && isChar) || type == Glyph::Cjk) {
        row.wordStart = it.str;
        row.wordStartX = it.x;
        row.wordMinX = e.x0;
      }
      if (isChar && it.nextx - row.startX > breakWidth) {
        if (row.breakEnd == nullptr) {
          // A word wider than the row: cut it before this character.
          rows[count++] =
              MakeRow(row.start, it.str, it.str, row.width, row.minX, row.maxX, invscale);
          if (count == maxRows) return count;
          OpenAt(&row, it, e);
        } else {
          rows[count++] = MakeRow(row.start, row.breakEnd, row.wordStart, row.breakWidth, row.minX,
                                  row.breakMaxX, invscale);
          if (count == maxRows) return count;
          row.start = row.wordStart;
          row.startX = row.wordStartX;
          row.minX = row.wordMinX - row.startX;
          row.breakEnd = nullptr;
          row.end = it.next;
          row.width = it.nextx - row.startX;
          row.maxX = e.x1 - row.startX;
        }
      } else if (isChar) {
        row.end = it.next;
        row.width = it.nextx - row.startX;
        row.maxX = e.x1 - row.startX;
      }
    }
    ptype = type;
  }
  if (row.start != nullptr)
    rows[count++] = MakeRow(row.start, row.end, end, row.width, row.minX, row.maxX, invscale);
  return count;
}

} // namespace plugkit
