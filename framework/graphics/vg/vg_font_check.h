#pragma once

#include <stb_truetype.h>

namespace plugkit::igraphics {

// Font bytes come from files and resources and may be damaged. The outline
// reader trusts every offset and count it finds, so each structure it will
// read is checked against the size of the bytes first.

// Offset of face faceIndex when its table directory and the tables that
// glyph drawing needs lie within the bytes, else -1. Faces with CFF outlines
// are refused: their reader cannot be bounded.
int VgFontFaceOffset(const unsigned char* data, int size, int faceIndex);

// Checks the tables of an initialised face. Damaged kerning tables are
// dropped (the face then draws without kerning); false when glyphs cannot be
// looked up or measured safely.
bool VgFontCheckTables(stbtt_fontinfo* info, int size);

// Whether the outline of glyph (and of every glyph it is composed of) lies
// within the bytes in a form the rasteriser accepts.
bool VgFontGlyphSafe(const stbtt_fontinfo& info, int size, int glyph);

} // namespace plugkit::igraphics
