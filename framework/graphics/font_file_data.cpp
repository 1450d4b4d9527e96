#include "framework/graphics/font_file_data.h"

#include <cstring>

namespace plugkit::igraphics {

uint8_t* FontFileData::ResizeBytes(int size) {
  ClearFace();
  if (!bytes_.Resize(size, true) || bytes_.Size() != size) return nullptr;
  return bytes_.Data();
}

void FontFileData::ClearFace() {
  info_ = FontFileInfo();
  faceIndex_ = -1;
}

void FontFileData::SelectFace(const char* style) {
  ClearFace();
  const bool anyStyle = !style || !*style;
  for (int i = 0;; ++i) {
    FontFileInfo face;
    face.Parse(bytes_.Data(), bytes_.Size(), i);
    if (!face.IsValid()) return;
    if (!face.style.empty() && (anyStyle || face.style == style)) {
      info_ = face;
      faceIndex_ = i;
      return;
    }
  }
}

FontDataCache& GetFontDataCache() {
  static FontDataCache cache;
  return cache;
}

} // namespace plugkit::igraphics
