#pragma once

#include "framework/graphics/igraphics.h"
#include "tarvex/editor/editor_palette.h"

namespace tarvex {

// A rounded panel: its fill marks selection, its outline selection or
// highlight (highlight wins).
void DrawPanelFrame(plugkit::igraphics::IGraphics& g, const plugkit::igraphics::IRect& r,
                    bool selected, bool highlighted);

// One line of text in the editor's style, vertically centred in the rectangle.
void DrawLabel(plugkit::igraphics::IGraphics& g, const char* text,
               const plugkit::igraphics::IRect& r, float size, const IColor& color, int align);

// The box a `DrawLabel` of the text would cover; empty when the text cannot
// be measured.
plugkit::igraphics::IRect LabelBox(const plugkit::igraphics::IGraphics& g, const char* text,
                                   const plugkit::igraphics::IRect& r, float size, int align);

// The largest size up to `size` at which the text fits the width.
float FittedTextSize(const plugkit::igraphics::IGraphics& g, const char* text, float size,
                     float width);

// A one-unit outline falls on whole pixels at scale 1 when it runs half a
// unit inside the rectangle.
plugkit::igraphics::IRect OutlineRect(const plugkit::igraphics::IRect& r);

// A rounded box filled with the panel colour and outlined in the given colour.
void DrawBox(plugkit::igraphics::IGraphics& g, const plugkit::igraphics::IRect& r,
             const IColor& outline);

} // namespace tarvex
