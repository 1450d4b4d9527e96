#pragma once

#include <windows.h>

namespace plugkit::igraphics {

// A font installed for this process from memory; destroying the holder
// removes the font again.
class InstalledFontHandle {
public:
  // Installs `size` bytes; Get() is null when that fails.
  InstalledFontHandle(const void* bytes, int size);
  ~InstalledFontHandle();
  InstalledFontHandle(const InstalledFontHandle&) = delete;
  InstalledFontHandle& operator=(const InstalledFontHandle&) = delete;

  HANDLE Get() const { return handle_; }

private:
  HANDLE handle_ = nullptr;
};

} // namespace plugkit::igraphics
