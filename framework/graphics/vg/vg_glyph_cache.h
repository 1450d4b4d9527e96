#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <stb_truetype.h>

#include "framework/graphics/vg/vg_atlas.h"
#include "framework/graphics/vg/vg_text_align.h"

namespace plugkit::igraphics {

// Creation flag: y grows downward from the top-left corner.
constexpr uint8_t kVgGlyphCacheOriginTopLeft = 1;

constexpr int kVgMaxFallbackFonts = 20;
constexpr int kVgGlyphStateCapacity = 20;
constexpr int kVgGlyphScratchSize = 96000;
constexpr int kVgFontNameCapacity = 64;
constexpr int kVgGlyphHashSize = 256;
constexpr int kVgMaxGlyphBlur = 20;
// Side of the largest atlas the renderer grows to. A glyph bigger than that
// finds no room in any atlas, so it is missing rather than a sign of a full one.
constexpr int kVgLargestAtlasSide = 2048;

// Whether a glyph lookup must place a bitmap in the atlas (drawing) or only
// needs metrics (measuring).
enum VgGlyphBitmap : int32_t {
  kVgGlyphBitmapOptional = 1,
  kVgGlyphBitmapRequired = 2,
};

struct VgGlyphCacheParams {
  int width = 512;
  int height = 512;
  uint8_t flags = kVgGlyphCacheOriginTopLeft;
  void* user = nullptr;
  // Optional texture hooks; each may be null.
  bool (*renderCreate)(void* user, int width, int height) = nullptr;
  bool (*renderResize)(void* user, int width, int height) = nullptr;
  void (*renderUpdate)(void* user, const int* rect, const uint8_t* data) = nullptr;
  void (*renderDelete)(void* user) = nullptr;
};

struct VgGlyph {
  uint32_t codepoint = 0;
  int32_t index = 0;
  int32_t next = -1;
  int16_t size = 0; // tenths of a pixel
  int16_t blur = 0;
  // Atlas rectangle with padding; x0 and y0 are -1 while there is no bitmap.
  int16_t x0 = -1, y0 = -1, x1 = -1, y1 = -1;
  int16_t xadv = 0; // tenths of a pixel
  int16_t xoff = 0, yoff = 0;
  // The outline came from a fallback font: its index means nothing to the
  // kerning tables of the font it is cached in.
  bool fallback = false;
};

struct VgFont {
  VgFont() = default;
  VgFont(const VgFont&) = delete;
  VgFont& operator=(const VgFont&) = delete;
  ~VgFont();

  stbtt_fontinfo info{};
  char name[kVgFontNameCapacity] = {};
  const unsigned char* data = nullptr;
  int dataSize = 0;
  bool freeData = false; // the cache frees data (std::free) with the font
  int unitsHeight = 1;   // ascent - descent in font units
  float ascender = 0.0f;
  float descender = 0.0f;
  float lineh = 0.0f;
  std::vector<VgGlyph> glyphs;
  int32_t lut[kVgGlyphHashSize] = {};
  int fallbacks[kVgMaxFallbackFonts] = {};
  int nfallbacks = 0;
};

struct VgQuad {
  float x0 = 0, y0 = 0, s0 = 0, t0 = 0;
  float x1 = 0, y1 = 0, s1 = 0, t1 = 0;
};

// Text state the renderer writes before text calls.
struct VgGlyphState {
  int font = 0;
  int align = kVgAlignLeft | kVgAlignBaseline;
  float size = 12.0f;
  uint32_t color = 0xFFFFFFFFu;
  float blur = 0.0f;
  float spacing = 0.0f;
};

// Fonts, glyphs, atlas packing and texture pixels of one renderer context, which owns it.
struct VgGlyphCache {
  VgGlyphCacheParams params;
  float itw = 0.0f; // 1 / width
  float ith = 0.0f; // 1 / height
  std::unique_ptr<uint8_t[]> texData;
  int dirtyRect[4] = {};
  std::vector<std::unique_ptr<VgFont>> fonts;
  VgAtlas atlas;
  std::unique_ptr<std::max_align_t[]> scratch;
  int nscratch = 0;
  // Heap blocks of what a glyph needs beyond the scratch area.
  std::vector<std::unique_ptr<std::max_align_t[]>> overflow;
  VgGlyphState states[kVgGlyphStateCapacity];
  int nstates = 0;
};

VgGlyphCache* VgGlyphCacheCreate(const VgGlyphCacheParams& params);
void VgGlyphCacheDelete(VgGlyphCache* cache);

// Adds a font face from bytes that outlive the cache (or that it frees, with
// freeData). Returns the font index, or -1 for a face that cannot be read.
int VgAddFontFromMemory(VgGlyphCache* cache, const char* name, const unsigned char* data, int size,
                        int faceIndex, bool freeData);
int VgFindFont(const VgGlyphCache* cache, const char* name);
// Lets font base take glyphs it lacks from font fallback; false when either
// index is invalid or base already has all its fallbacks.
bool VgAddFallbackFont(VgGlyphCache* cache, int base, int fallback);
// The font at index, or null.
VgFont* VgGlyphCacheFont(const VgGlyphCache* cache, int index);

// Finds or makes the glyph of codepoint at size (tenths of a pixel) and blur.
// Null for sizes below 0.2 pixel, or when a required bitmap finds no room in
// the atlas; *atlasFull (when given) tells when a larger or fresh atlas would
// take the bitmap.
VgGlyph* VgGlyphCacheGetGlyph(VgGlyphCache* cache, VgFont* font, uint32_t codepoint, int16_t isize,
                              int16_t iblur, int bitmapOption, bool* atlasFull = nullptr);

// Texture upload: the update hook gets the dirty part, which is then cleared.
void VgGlyphCacheFlush(VgGlyphCache* cache);
// Empties the atlas at a new size; every glyph is dropped. False when the
// resize hook refuses or memory is missing (the cache is then unchanged).
bool VgGlyphCacheResetAtlas(VgGlyphCache* cache, int width, int height);
// Hands out and clears the dirty rectangle; false when nothing is dirty.
bool VgGlyphCacheValidateTexture(VgGlyphCache* cache, int* dirty);
const uint8_t* VgGlyphCacheTextureData(const VgGlyphCache* cache, int* width, int* height);

// Bump allocator for the rasteriser over the scratch area, taking heap
// blocks once the area is used up; null only when the heap is exhausted too.
void* VgGlyphCacheScratchAlloc(VgGlyphCache* cache, size_t size);
// Reclaims everything handed out, before the next glyph.
void VgGlyphCacheScratchReset(VgGlyphCache* cache);

// The current state entry, and the stack around it.
VgGlyphState& VgGlyphCacheState(VgGlyphCache* cache);
bool VgGlyphCachePushState(VgGlyphCache* cache);
bool VgGlyphCachePopState(VgGlyphCache* cache);

} // namespace plugkit::igraphics
