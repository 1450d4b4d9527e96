#include "tarvex/editor/drawing_helpers.h"

#include <algorithm>

namespace tarvex {

using plugkit::igraphics::EAlign;
using plugkit::igraphics::EVAlign;
using plugkit::igraphics::IGraphics;
using plugkit::igraphics::IRect;
using plugkit::igraphics::ITextStyle;

namespace {
constexpr float kCornerRadius = 5.f;
// A text this small is unreadable anyway; fitting stops there.
constexpr float kSmallestTextSize = 1.f;
// The least a size shrinks by in one step, so that fitting ends quickly.
constexpr float kTextSizeStep = 0.1f;
} // namespace

ITextStyle EditorTextStyle(float size, const IColor& color, int align) {
  ITextStyle style(size, color, kEditorFontId,
                   align == kAlignLeft    ? EAlign::Near
                   : align == kAlignRight ? EAlign::Far
                                          : EAlign::Center,
                   EVAlign::Middle, 0.f);
  style.textEntryBGColor = kColorTextEntryBackground;
  style.textEntryFGColor = kColorIvory;
  return style;
}

IRect OutlineRect(const IRect& r) { return IRect(r.L + 0.5f, r.T + 0.5f, r.R - 0.5f, r.B - 0.5f); }

void DrawPanelFrame(IGraphics& g, const IRect& r, bool selected, bool highlighted) {
  g.FillRoundRect(selected ? kColorPanelSelected : kColorPanel, r, kCornerRadius, nullptr);
  const IColor& outline = highlighted ? kColorAmber : selected ? kColorTeal : kColorLine;
  g.DrawRoundRect(outline, OutlineRect(r), kCornerRadius, nullptr, 1.f);
}

void DrawBox(IGraphics& g, const IRect& r, const IColor& outline) {
  g.FillRoundRect(kColorPanel, r, kCornerRadius, nullptr);
  g.DrawRoundRect(outline, OutlineRect(r), kCornerRadius, nullptr, 1.f);
}

void DrawLabel(IGraphics& g, const char* text, const IRect& r, float size, const IColor& color,
               int align) {
  g.DrawText(EditorTextStyle(size, color, align), text, r, nullptr);
}

IRect LabelBox(const IGraphics& g, const char* text, const IRect& r, float size, int align) {
  IRect box = r;
  g.MeasureText(EditorTextStyle(size, kColorIvory, align), text, box);
  return box;
}

float FittedTextSize(const IGraphics& g, const char* text, float size, float width) {
  // Glyphs are rasterised at sizes in tenths of a pixel and placed on whole
  // pixels, so a width does not shrink exactly with the size: measure again
  // after every step.
  for (;;) {
    const float measured = LabelBox(g, text, IRect(), size, kAlignLeft).W();
    if (measured <= width || size <= kSmallestTextSize) return size;
    size = std::max(kSmallestTextSize, std::min(size * width / measured, size - kTextSizeStep));
  }
}

} // namespace tarvex
