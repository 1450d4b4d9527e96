#include "framework/graphics/vg/vg_glyph_cache.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/graphics/vg/vg_font_check.h"

namespace plugkit::igraphics {
namespace {

constexpr size_t kInitialGlyphs = 256;
constexpr size_t kInitialFonts = 4;
// The block the renderer samples for untextured drawing.
constexpr int kWhiteBlock = 2;

int16_t ReadI16(const unsigned char* p) { return static_cast<int16_t>((p[0] << 8) | p[1]); }

void ClearDirty(VgGlyphCache* cache) {
  cache->dirtyRect[0] = cache->params.width;
  cache->dirtyRect[1] = cache->params.height;
  cache->dirtyRect[2] = 0;
  cache->dirtyRect[3] = 0;
}

bool AddWhiteBlock(VgGlyphCache* cache) {
  int x = 0;
  int y = 0;
  if (!VgAtlasAddRect(cache->atlas, kWhiteBlock, kWhiteBlock, &x, &y)) return false;
  const int w = cache->params.width;
  for (int row = 0; row < kWhiteBlock; ++row) {
    std::memset(&cache->texData[static_cast<size_t>((y + row) * w + x)], 255, kWhiteBlock);
  }
  cache->dirtyRect[0] = std::min(cache->dirtyRect[0], x);
  cache->dirtyRect[1] = std::min(cache->dirtyRect[1], y);
  cache->dirtyRect[2] = std::max(cache->dirtyRect[2], x + kWhiteBlock);
  cache->dirtyRect[3] = std::max(cache->dirtyRect[3], y + kWhiteBlock);
  return true;
}

std::unique_ptr<uint8_t[]> ZeroedTexture(int width, int height) {
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[bytes]);
  if (data) std::memset(data.get(), 0, bytes);
  return data;
}

void ClearGlyphs(VgFont& font) {
  font.glyphs.clear();
  std::fill(std::begin(font.lut), std::end(font.lut), -1);
}

bool ReadFontHeights(VgFont& font) {
  const unsigned char* hhea = font.data + font.info.hhea;
  const int ascent = ReadI16(hhea + 4);
  const int descent = ReadI16(hhea + 6);
  const int lineGap = ReadI16(hhea + 8);
  // Every size is a fraction of this height: a face without one is unusable.
  if (ascent - descent <= 0) return false;
  font.unitsHeight = ascent - descent;
  const auto height = static_cast<float>(font.unitsHeight);
  font.ascender = static_cast<float>(ascent) / height;
  font.descender = static_cast<float>(descent) / height;
  font.lineh = static_cast<float>(font.unitsHeight + lineGap) / height;
  return true;
}

} // namespace

VgFont::~VgFont() {
  if (freeData) std::free(const_cast<unsigned char*>(data));
}

VgGlyphCache* VgGlyphCacheCreate(const VgGlyphCacheParams& params) {
  std::unique_ptr<VgGlyphCache> cache(new (std::nothrow) VgGlyphCache);
  if (!cache) return nullptr;
  cache->params = params;
  cache->scratch.reset(new (std::nothrow)
                           std::max_align_t[kVgGlyphScratchSize / sizeof(std::max_align_t) + 1]);
  if (!cache->scratch) return nullptr;
  if (params.renderCreate && !params.renderCreate(params.user, params.width, params.height)) {
    return nullptr;
  }
  if (!VgAtlasInit(cache->atlas, params.width, params.height)) return nullptr;
  try {
    cache->fonts.reserve(kInitialFonts);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  cache->itw = 1.0f / static_cast<float>(params.width);
  cache->ith = 1.0f / static_cast<float>(params.height);
  cache->texData = ZeroedTexture(params.width, params.height);
  if (!cache->texData) return nullptr;
  ClearDirty(cache.get());
  if (!AddWhiteBlock(cache.get())) return nullptr;
  cache->states[0] = VgGlyphState{};
  cache->nstates = 1;
  return cache.release();
}

void VgGlyphCacheDelete(VgGlyphCache* cache) {
  if (!cache) return;
  if (cache->params.renderDelete) cache->params.renderDelete(cache->params.user);
  delete cache;
}

int VgAddFontFromMemory(VgGlyphCache* cache, const char* name, const unsigned char* data, int size,
                        int faceIndex, bool freeData) {
  std::unique_ptr<VgFont> font(new (std::nothrow) VgFont);
  if (!font || !cache || !data || size <= 0) {
    if (freeData) std::free(const_cast<unsigned char*>(data));
    return -1;
  }
  font->data = data;
  font->dataSize = size;
  font->freeData = freeData;
  try {
    font->glyphs.reserve(kInitialGlyphs);
    if (cache->fonts.size() == cache->fonts.capacity()) {
      cache->fonts.reserve(std::max<size_t>(8, cache->fonts.capacity() * 2));
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  if (name) {
    std::strncpy(font->name, name, kVgFontNameCapacity - 1);
    font->name[kVgFontNameCapacity - 1] = '\0';
  }
  std::fill(std::begin(font->lut), std::end(font->lut), -1);
  VgGlyphCacheScratchReset(cache);

  const int offset = VgFontFaceOffset(data, size, faceIndex);
  if (offset < 0) return -1;
  if (!stbtt_InitFont(&font->info, data, offset)) return -1;
  if (!VgFontCheckTables(&font->info, size)) return -1;
  font->info.userdata = cache;
  if (!ReadFontHeights(*font)) return -1;

  cache->fonts.push_back(std::move(font));
  return static_cast<int>(cache->fonts.size()) - 1;
}

int VgFindFont(const VgGlyphCache* cache, const char* name) {
  if (!cache || !name) return -1;
  for (size_t i = 0; i < cache->fonts.size(); ++i) {
    if (std::strcmp(cache->fonts[i]->name, name) == 0) return static_cast<int>(i);
  }
  return -1;
}

bool VgAddFallbackFont(VgGlyphCache* cache, int base, int fallback) {
  VgFont* font = VgGlyphCacheFont(cache, base);
  if (!font || !VgGlyphCacheFont(cache, fallback) || font->nfallbacks >= kVgMaxFallbackFonts) {
    return false;
  }
  font->fallbacks[font->nfallbacks++] = fallback;
  return true;
}

VgFont* VgGlyphCacheFont(const VgGlyphCache* cache, int index) {
  if (!cache || index < 0 || index >= static_cast<int>(cache->fonts.size())) return nullptr;
  return cache->fonts[static_cast<size_t>(index)].get();
}

void VgGlyphCacheFlush(VgGlyphCache* cache) {
  if (!cache) return;
  int dirty[4];
  const bool wasDirty =
      cache->dirtyRect[0] < cache->dirtyRect[2] && cache->dirtyRect[1] < cache->dirtyRect[3];
  if (wasDirty && cache->params.renderUpdate) {
    std::copy(std::begin(cache->dirtyRect), std::end(cache->dirtyRect), dirty);
    cache->params.renderUpdate(cache->params.user, dirty, cache->texData.get());
  }
  ClearDirty(cache);
}

bool VgGlyphCacheResetAtlas(VgGlyphCache* cache, int width, int height) {
  if (!cache) return false;
  VgGlyphCacheFlush(cache);
  if (cache->params.renderResize &&
      !cache->params.renderResize(cache->params.user, width, height)) {
    return false;
  }
  VgAtlas atlas;
  if (!VgAtlasInit(atlas, width, height)) return false;
  std::unique_ptr<uint8_t[]> texture = ZeroedTexture(width, height);
  if (!texture) return false;
  cache->atlas = std::move(atlas);
  cache->texData = std::move(texture);
  cache->params.width = width;
  cache->params.height = height;
  cache->itw = 1.0f / static_cast<float>(width);
  cache->ith = 1.0f / static_cast<float>(height);
  ClearDirty(cache);
  for (auto& font : cache->fonts) ClearGlyphs(*font);
  return AddWhiteBlock(cache);
}

bool VgGlyphCacheValidateTexture(VgGlyphCache* cache, int* dirty) {
  if (!cache) return false;
  if (cache->dirtyRect[0] < cache->dirtyRect[2] && cache->dirtyRect[1] < cache->dirtyRect[3]) {
    std::copy(std::begin(cache->dirtyRect), std::end(cache->dirtyRect), dirty);
    ClearDirty(cache);
    return true;
  }
  return false;
}

const uint8_t* VgGlyphCacheTextureData(const VgGlyphCache* cache, int* width, int* height) {
  if (!cache) return nullptr;
  if (width) *width = cache->params.width;
  if (height) *height = cache->params.height;
  return cache->texData.get();
}

void* VgGlyphCacheScratchAlloc(VgGlyphCache* cache, size_t size) {
  if (!cache) return nullptr;
  const size_t rounded = (size + 0xF) & ~static_cast<size_t>(0xF);
  if (rounded < size) return nullptr;
  if (rounded <= static_cast<size_t>(kVgGlyphScratchSize - cache->nscratch)) {
    void* memory = reinterpret_cast<uint8_t*>(cache->scratch.get()) + cache->nscratch;
    cache->nscratch += static_cast<int>(rounded);
    return memory;
  }
  // The rasteriser does not check every allocation: an outline too complex
  // for the area must still get its memory.
  std::unique_ptr<std::max_align_t[]> block(
      new (std::nothrow)
          std::max_align_t[(rounded + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t)]);
  if (!block) return nullptr;
  try {
    cache->overflow.push_back(std::move(block));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return cache->overflow.back().get();
}

void VgGlyphCacheScratchReset(VgGlyphCache* cache) {
  cache->nscratch = 0;
  cache->overflow.clear();
}

VgGlyphState& VgGlyphCacheState(VgGlyphCache* cache) { return cache->states[cache->nstates - 1]; }

bool VgGlyphCachePushState(VgGlyphCache* cache) {
  if (!cache || cache->nstates >= kVgGlyphStateCapacity) return false;
  cache->states[cache->nstates] = cache->states[cache->nstates - 1];
  ++cache->nstates;
  return true;
}

bool VgGlyphCachePopState(VgGlyphCache* cache) {
  if (!cache || cache->nstates <= 1) return false;
  --cache->nstates;
  return true;
}

} // namespace plugkit::igraphics
