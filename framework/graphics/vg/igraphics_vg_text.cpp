#include "framework/graphics/vg/igraphics_vg.h"

#include "framework/graphics/font_file_data.h"
#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_glyph_cache.h"
#include "framework/graphics/vg/vg_paint.h"
#include "framework/graphics/vg/vg_text.h"
#include "framework/graphics/vg/vg_text_layout.h"

#include <cmath>

namespace plugkit::igraphics {

namespace {

// The scale text is rasterised at; 0 when the state cannot draw text (a
// transform that flattens everything).
float TextScale(VgContext* ctx) {
  const float scale = VgFontScale(*VgGetState(ctx)) * ctx->devicePxRatio;
  return scale > 0.f && std::isfinite(scale) ? scale : 0.f;
}

void SetGlyphState(VgContext* ctx, float scale) {
  const VgState& state = *VgGetState(ctx);
  VgGlyphState& gs = VgGlyphCacheState(ctx->glyphCache);
  gs.size = state.fontSize * scale;
  gs.spacing = state.letterSpacing * scale;
  gs.blur = state.fontBlur * scale;
  gs.align = state.textAlign;
  gs.font = state.fontId;
}

int HorizontalAlign(const ITextStyle& style, const IRect& r, float& x) {
  switch (style.align) {
    case EAlign::Center:
      x = r.MW();
      return kVgAlignCenter;
    case EAlign::Far:
      x = r.R;
      return kVgAlignRight;
    case EAlign::Near:
      break;
  }
  x = r.L;
  return kVgAlignLeft;
}

// Also the share of the text's height the anchor lies below its top.
int VerticalAlign(const ITextStyle& style, const IRect& r, float& y, float& factor) {
  switch (style.valign) {
    case EVAlign::Middle:
      y = r.MH();
      factor = 0.5f;
      return kVgAlignMiddle;
    case EVAlign::Bottom:
      y = r.B;
      factor = 1.f;
      return kVgAlignBottom;
    case EVAlign::Top:
      break;
  }
  y = r.T;
  factor = 0.f;
  return kVgAlignTop;
}

} // namespace

void IGraphicsVG::LayoutText(const ITextStyle& style, const char* text, IRect& r, float& x,
                             float& y) const {
  float factor = 0.f;
  const int align = HorizontalAlign(style, r, x) | VerticalAlign(style, r, y, factor);
  if (!context_) {
    r = IRect();
    return;
  }
  VgState* state = VgGetState(context_);
  state->fontBlur = 0.f;
  state->fontSize = style.size;
  state->fontId = VgFindFont(context_->glyphCache, style.font);
  state->textAlign = align;
  const float scale = TextScale(context_);
  if (state->fontId < 0 || scale == 0.f) {
    r = IRect();
    return;
  }
  SetGlyphState(context_, scale);
  float bounds[4] = {0.f, 0.f, 0.f, 0.f};
  VgTextBounds(context_->glyphCache, x * scale, y * scale, text, nullptr, bounds);
  float minY = 0.f;
  float maxY = 0.f;
  VgTextLineBounds(context_->glyphCache, y * scale, &minY, &maxY);
  r = IRect(bounds[0] / scale, minY / scale, bounds[2] / scale, maxY / scale);
}

float IGraphicsVG::DoMeasureText(const ITextStyle& style, const char* text, IRect& bounds) const {
  const IRect given = bounds;
  float x = 0.f;
  float y = 0.f;
  LayoutText(style, text, bounds, x, y);
  ApplyTextRotationOffset(style, given, bounds);
  return bounds.W();
}

void IGraphicsVG::DoDrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                             const IBlend* blend) {
  if (!context_) return;
  IRect measured = bounds;
  float x = 0.f;
  float y = 0.f;
  LayoutText(style, text, measured, x, y);
  PathTransformSave();
  if (style.angle != 0.f) {
    double tx = 0.0;
    double ty = 0.0;
    ComputeTextRotationOffset(style, bounds, measured, tx, ty);
    PathTransformTranslate(static_cast<float>(tx), static_cast<float>(ty));
    PathTransformRotate(style.angle);
  }
  SetFillColor(style.fgColor, blend);
  SetBlendMode(blend);
  VgText(context_, x, y, text, nullptr);
  ResetBlend();
  PathTransformRestore();
}

void IGraphicsVG::DrawMultiLineText(const ITextStyle& style, const char* text, const IRect& bounds,
                                    const IBlend* blend) {
  if (!context_ || !text) return;
  VgSave(context_);
  VgState* state = VgGetState(context_);
  state->fontSize = style.size;
  state->fontId = VgFindFont(context_->glyphCache, style.font);
  float x = 0.f;
  float y = 0.f;
  float factor = 0.f;
  state->textAlign = HorizontalAlign(style, bounds, x) | VerticalAlign(style, bounds, y, factor);
  const float scale = TextScale(context_);
  const VgFont* font = VgGlyphCacheFont(context_->glyphCache, state->fontId);
  if (font && scale > 0.f) {
    SetGlyphState(context_, scale);
    // The glyph cache keeps sizes in tenths of a pixel.
    const float size = static_cast<float>(static_cast<short>(scale * style.size * 10.f)) / 10.f;
    const float lineHeight = font->lineh * size / scale;
    SetFillColor(style.fgColor, blend);
    constexpr int kRowsAtOnce = 3;
    VgTextRow rows[kRowsAtOnce];
    int total = 0;
    for (const char* start = text; *start;) {
      const int n = VgTextBreakLines(context_, start, nullptr, bounds.W(), rows, kRowsAtOnce);
      if (n == 0) break;
      total += n;
      if (rows[n - 1].next <= start) break;
      start = rows[n - 1].next;
    }
    // Each row keeps the box's vertical anchor, so only the rows after the first move the block.
    y -= static_cast<float>(total - 1) * lineHeight * factor;
    for (const char* start = text; *start;) {
      const int n = VgTextBreakLines(context_, start, nullptr, bounds.W(), rows, kRowsAtOnce);
      if (n == 0) break;
      for (int i = 0; i < n; ++i) {
        VgText(context_, x, y, rows[i].start, rows[i].end);
        y += lineHeight;
      }
      if (rows[n - 1].next <= start) break;
      start = rows[n - 1].next;
    }
  }
  VgRestore(context_);
}

bool IGraphicsVG::LoadAPIFont(const char* fontID, const PlatformFont& font) {
  if (!context_) return false;
  FontDataCache& cache = GetFontDataCache();
  auto lock = cache.Lock();
  if (const FontFileData* cached = cache.Find(fontID, 1.0)) {
    VgAddFontFromMemory(context_->glyphCache, fontID, cached->Bytes(), cached->Size(),
                        cached->FaceIndex(), false);
    return true;
  }
  FontFileDataPtr data = font.GetFontData();
  if (!data || !data->IsUsable()) return false;
  if (VgAddFontFromMemory(context_->glyphCache, fontID, data->Bytes(), data->Size(),
                          data->FaceIndex(), false) < 0)
    return false;
  cache.Add(std::move(data), fontID, 1.0);
  return true;
}

} // namespace plugkit::igraphics
