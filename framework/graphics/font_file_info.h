#pragma once

#include <cstdint>
#include <string>

namespace plugkit::igraphics {

// One face of a TrueType or OpenType font file (or collection): where its
// header and the tables the renderer relies on lie, its names and metrics.
// Every read is checked against the size of the bytes, so damaged or cut
// files give an invalid face, never a read outside them.
class FontFileInfo {
public:
  // Parses face `faceIndex` of `size` bytes; the bytes must outlive the info.
  void Parse(const uint8_t* bytes, int size, int faceIndex);

  // Offset from the start of the bytes of the face's table `tag` (four
  // characters) when the table lies whole inside the bytes, else 0.
  uint32_t FindTable(const char* tag) const;
  // The UTF-8 text of name `nameId`: the Windows Unicode English record,
  // else the Macintosh Roman one as it is; empty when there is none.
  std::string GetNameString(int nameId) const;

  bool IsValid() const { return faceData && headOffset && nameOffset && hheaOffset; }

  const uint8_t* faceData = nullptr; // the face's sfnt header; null when invalid
  uint32_t headOffset = 0;
  uint32_t nameOffset = 0;
  uint32_t hheaOffset = 0;
  std::string family; // name id 1
  std::string style;  // name id 2
  uint16_t macStyle = 0;
  uint16_t unitsPerEm = 0;
  int16_t ascender = 0;
  int16_t descender = 0;
  int16_t lineGap = 0;

private:
  // The table's length when it lies whole inside the bytes, else 0.
  uint32_t TableLength(const char* tag, uint32_t& offset) const;

  const uint8_t* bytes_ = nullptr;
  uint32_t size_ = 0;
};

} // namespace plugkit::igraphics
