#pragma once

#include "framework/core/heap_buffer.h"
#include "framework/graphics/font_file_info.h"
#include "framework/graphics/resource_cache.h"

#include <memory>

namespace plugkit::igraphics {

// One font face as bytes (a whole file or collection) with its parsed
// header, as the platform reads it and the glyph cache takes it. The info
// points into the record's own bytes, so a record is never copied.
class FontFileData {
public:
  FontFileData() = default;
  FontFileData(const FontFileData&) = delete;
  FontFileData& operator=(const FontFileData&) = delete;

  // Makes room for `size` bytes and returns them; null when they cannot be
  // had. Any chosen face is forgotten.
  uint8_t* ResizeBytes(int size);
  // Picks the face: the first valid face whose style name equals `style`
  // (any face with a style name when `style` is empty). Searching ends at
  // the first invalid face, which leaves no face (index -1).
  void SelectFace(const char* style);
  // Forgets the face, as after a short read.
  void ClearFace();

  // Holds bytes and a valid chosen face: what the renderer accepts.
  bool IsUsable() const { return bytes_.Size() > 0 && faceIndex_ >= 0 && info_.IsValid(); }

  const FontFileInfo& Info() const { return info_; }
  const uint8_t* Bytes() const { return bytes_.Data(); }
  int Size() const { return bytes_.Size(); }
  int FaceIndex() const { return faceIndex_; }

private:
  FontFileInfo info_;
  HeapBuffer bytes_{4096};
  int faceIndex_ = -1;
};

using FontFileDataPtr = std::unique_ptr<FontFileData>;

// The font-data cache: font id at scale 1 -> the record the renderer reads
// its glyphs from, shared by every drawing back end of the process.
using FontDataCache = ResourceCache<FontFileData>;
FontDataCache& GetFontDataCache();

} // namespace plugkit::igraphics
