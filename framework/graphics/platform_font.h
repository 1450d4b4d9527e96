#pragma once

#include "framework/graphics/font_file_data.h"

#include <memory>

namespace plugkit::igraphics {

// A font the platform layer loaded from a file, a resource, memory or the
// installed families; the platform derives its own kind of font from it.
class PlatformFont {
public:
  PlatformFont() = default;
  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;
  virtual ~PlatformFont() = default;

  // The platform's font handle; none in the base.
  virtual void* GetHandle() const { return nullptr; }
  // The face's bytes and header for the renderer; the base has none (an
  // empty record without a face).
  virtual FontFileDataPtr GetFontData() const { return std::make_unique<FontFileData>(); }
};

} // namespace plugkit::igraphics
