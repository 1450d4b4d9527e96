#pragma once

#include "framework/graphics/icolor.h"
#include "framework/graphics/itext_style.h"

namespace tarvex {

using plugkit::igraphics::IColor;

// Every text of the editor is drawn in the embedded Roboto face, loaded
// under this id when the layout is built.
constexpr const char* kEditorFontId = "BRASKELIN";

// The editor's palette.
constexpr IColor kColorIvory{255, 240, 236, 226};
constexpr IColor kColorSlate{255, 152, 170, 173};
constexpr IColor kColorAmber{255, 225, 179, 114};
constexpr IColor kColorTeal{255, 101, 210, 188};
constexpr IColor kColorBlue{255, 137, 168, 233};
constexpr IColor kColorLine{255, 53, 74, 80};
constexpr IColor kColorPanel{255, 24, 34, 39};
constexpr IColor kColorPanelSelected{255, 34, 63, 62};
constexpr IColor kColorTextEntryBackground{255, 17, 26, 29};

// Horizontal alignments of DrawLabel.
enum LabelAlign : int { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// The editor's text style: its font, the given size, colour and horizontal
// alignment, vertically centred, with the editor's text-entry colours.
plugkit::igraphics::ITextStyle EditorTextStyle(float size, const IColor& color, int align);

} // namespace tarvex
