#include "framework/graphics/win/installed_font.h"

namespace plugkit::igraphics {

InstalledFontHandle::InstalledFontHandle(const void* bytes, int size) {
  if (!bytes || size <= 0) return;
  DWORD count = 0;
  handle_ =
      AddFontMemResourceEx(const_cast<void*>(bytes), static_cast<DWORD>(size), nullptr, &count);
}

InstalledFontHandle::~InstalledFontHandle() {
  if (handle_) RemoveFontMemResourceEx(handle_);
}

} // namespace plugkit::igraphics
