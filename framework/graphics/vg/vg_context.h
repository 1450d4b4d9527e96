#pragma once

#include "framework/graphics/vg/vg_backend.h"
#include "framework/graphics/vg/vg_path_cache.h"
#include "framework/graphics/vg/vg_state.h"

#include <cstdint>

namespace plugkit {

namespace igraphics {
struct VgGlyphCache;
}

constexpr int32_t kVgMaxStates = 32;
constexpr int32_t kVgMaxFontAtlases = 4;
constexpr int32_t kVgInitialAtlasSize = 512;

// The immediate-mode renderer: the current path as a command buffer, the
// state stack, its flattening and vertex caches, and the glyph atlases. One
// context is used by one thread.
struct VgContext {
  VgBackendCallbacks callbacks;
  float* commands = nullptr;
  int32_t commandCount = 0;
  int32_t commandCapacity = 0;
  // Last point given to a move-to, line-to or bezier-to, before transformation.
  float commandX = 0.0f;
  float commandY = 0.0f;
  VgState states[kVgMaxStates];
  int32_t stateCount = 0;
  VgPathCache* cache = nullptr;
  float tessTol = 0.25f;
  float distTol = 0.01f;
  float fringeWidth = 1.0f;
  float devicePxRatio = 1.0f;
  igraphics::VgGlyphCache* glyphCache = nullptr;
  int32_t fontImages[kVgMaxFontAtlases] = {0, 0, 0, 0};
  int32_t fontImageIdx = 0;
  int32_t drawCallCount = 0;
  int32_t fillTriCount = 0;
  int32_t strokeTriCount = 0;
  int32_t textTriCount = 0;
};

// Null when the back end, the glyph cache or the first atlas image cannot
// be made; whatever was made is freed then.
VgContext* VgCreateContext(const VgBackendCallbacks& callbacks);
void VgDeleteContext(VgContext* ctx);

void VgBeginFrame(VgContext* ctx, float windowWidth, float windowHeight, float devicePixelRatio);
// Draws everything queued since the frame began, then folds extra glyph
// atlases made during the frame into one.
void VgEndFrame(VgContext* ctx);
// Drops everything queued since the frame began.
void VgCancelFrame(VgContext* ctx);

void VgSave(VgContext* ctx);
void VgRestore(VgContext* ctx);
void VgReset(VgContext* ctx);
// The state the next drawing call uses; clients write paints and blend
// factors into it.
VgState* VgGetState(VgContext* ctx);

} // namespace plugkit
