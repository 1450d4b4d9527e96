#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plugkit::igraphics {

// Builds small sfnt fonts and collections byte by byte, for tests of what
// reads them.
struct SfntName {
  uint16_t platform, encoding, language, nameId;
  std::vector<uint8_t> text; // as stored: UTF-16 big-endian or Mac bytes
};

// A glyph of closed contours of on-curve points, in font units.
struct SfntGlyph {
  uint32_t codepoint = 0;
  uint16_t advance = 0;
  std::vector<std::vector<std::pair<int16_t, int16_t>>> contours;
};

struct SfntFace {
  std::string family = "Tarvex Sans";
  std::string style = "Regular";
  uint16_t macStyle = 0;
  uint16_t unitsPerEm = 1000;
  int16_t ascender = 800;
  int16_t descender = -200;
  int16_t lineGap = 90;
  std::vector<SfntName> extraNames; // after the Windows family and style
  // With any (in ascending code point order), the face gets TrueType
  // outlines: an empty glyph 0, then these.
  std::vector<SfntGlyph> glyphs;
};

std::vector<uint8_t> Utf16BigEndian(const std::u16string& text);
// The face as a table directory and tables, offsets counted from `base`.
std::vector<uint8_t> BuildFace(const SfntFace& face, uint32_t base = 0);
std::vector<uint8_t> BuildCollection(const std::vector<SfntFace>& faces);
// A face whose "A" is a disc outlined by `points` points, 4000 units across:
// an outline far more complex than an ordinary glyph's.
SfntFace ComplexGlyphFace(int points);
// Where the last table the parser needs of the face at `base` ends.
uint32_t NeededEnd(const std::vector<uint8_t>& file, uint32_t faceOffset);

} // namespace plugkit::igraphics
