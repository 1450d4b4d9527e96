#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/graphics/vg/vg_glyph_cache.h"

namespace plugkit::igraphics::test {

using Bytes = std::vector<unsigned char>;

struct CacheDeleter {
  void operator()(VgGlyphCache* cache) const { VgGlyphCacheDelete(cache); }
};
using CachePtr = std::unique_ptr<VgGlyphCache, CacheDeleter>;

// Roboto Regular as read from its file; empty when it cannot be read.
const Bytes& RobotoBytes();
// stb_truetype's own view of Roboto, for metrics computed apart from the cache.
stbtt_fontinfo RobotoInfo();
// A cache with Roboto as font 0 (null when either fails).
CachePtr RobotoCache(uint8_t flags = kVgGlyphCacheOriginTopLeft, int width = 512, int height = 512);

// Roboto whose character map holds only the given (code point, glyph) pairs,
// ascending. The new map is appended; its format-4 table starts at
// CharacterMapOffset().
Bytes RobotoWithCharacterMap(const std::vector<std::pair<uint16_t, uint16_t>>& map);
size_t CharacterMapOffset();

// Offset of a table of a single-face font, 0 when absent.
size_t TableOffset(const Bytes& bytes, const char* tag);
inline int16_t ReadI16(const Bytes& bytes, size_t at) {
  return static_cast<int16_t>((bytes[at] << 8) | bytes[at + 1]);
}
inline void PutU16(Bytes& bytes, size_t at, uint32_t value) {
  bytes[at] = static_cast<unsigned char>(value >> 8);
  bytes[at + 1] = static_cast<unsigned char>(value);
}

// Where tests leave files to look at.
std::string OutputPath(const std::string& name);

} // namespace plugkit::igraphics::test
