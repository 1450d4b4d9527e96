#pragma once

#include "framework/core/heap_buffer.h"
#include "framework/graphics/platform_font.h"

#include <memory>

namespace plugkit::igraphics {

// A font held as the bytes of its file, without any platform font object:
// what builds without a font service of their own (the native build) load
// their fonts as. Its data is the first face that has a style name.
class MemoryFont : public PlatformFont {
public:
  // Null when the file cannot be read whole or is empty.
  static std::unique_ptr<MemoryFont> FromFile(const char* path);
  // Null without bytes.
  static std::unique_ptr<MemoryFont> FromBytes(const void* data, int size);

  FontFileDataPtr GetFontData() const override;

private:
  MemoryFont() = default;

  HeapBuffer bytes_{4096};
};

} // namespace plugkit::igraphics
