#include "framework/graphics/vg/vg_context.h"

#include "framework/graphics/vg/vg_glyph_cache.h"
#include "framework/graphics/vg/vg_paint.h"

#include <cmath>
#include <cstdlib>
#include <new>

namespace plugkit {

namespace {

constexpr int32_t kInitialCommands = 256;

void SetDevicePixelRatio(VgContext* ctx, float ratio) {
  ctx->tessTol = 0.25f / ratio;
  ctx->distTol = 0.01f / ratio;
  ctx->fringeWidth = 1.0f / ratio;
  ctx->devicePxRatio = ratio;
}

int32_t ImageSize(VgContext* ctx, int32_t image, int32_t* width, int32_t* height) {
  return ctx->callbacks.getTextureSize(ctx->callbacks.user, image, width, height);
}

// Text during the frame may have moved on to newer, larger atlas images. The
// current one becomes the first; older ones that are smaller are deleted,
// the others stay for when the atlas fills again. Images kept from earlier
// frames beyond the current one lose their places, so they are deleted too.
void ReconcileAtlases(VgContext* ctx) {
  if (ctx->fontImageIdx == 0) return;
  const int32_t current = ctx->fontImages[ctx->fontImageIdx];
  if (current == 0) return;
  for (int32_t i = ctx->fontImageIdx + 1; i < kVgMaxFontAtlases; ++i)
    if (ctx->fontImages[i] != 0)
      ctx->callbacks.deleteTexture(ctx->callbacks.user, ctx->fontImages[i]);
  int32_t width = 0;
  int32_t height = 0;
  ImageSize(ctx, current, &width, &height);
  int32_t kept = 0;
  for (int32_t i = 0; i < ctx->fontImageIdx; ++i) {
    const int32_t image = ctx->fontImages[i];
    if (image == 0) continue;
    int32_t w = 0;
    int32_t h = 0;
    ImageSize(ctx, image, &w, &h);
    if (w < width || h < height)
      ctx->callbacks.deleteTexture(ctx->callbacks.user, image);
    else
      ctx->fontImages[kept++] = image;
  }
  ctx->fontImages[kept] = ctx->fontImages[0];
  ctx->fontImages[0] = current;
  for (int32_t i = kept + 1; i < kVgMaxFontAtlases; ++i) ctx->fontImages[i] = 0;
  ctx->fontImageIdx = 0;
}

} // namespace

VgContext* VgCreateContext(const VgBackendCallbacks& callbacks) {
  auto* ctx = new (std::nothrow) VgContext();
  if (ctx == nullptr) return nullptr;
  ctx->callbacks = callbacks;
  ctx->commands = static_cast<float*>(std::malloc(sizeof(float) * kInitialCommands));
  ctx->cache = VgPathCacheCreate();
  if (ctx->commands == nullptr || ctx->cache == nullptr) {
    VgDeleteContext(ctx);
    return nullptr;
  }
  ctx->commandCapacity = kInitialCommands;
  VgSave(ctx);
  VgReset(ctx);
  SetDevicePixelRatio(ctx, 1.0f);
  if (ctx->callbacks.create == nullptr || ctx->callbacks.create(ctx->callbacks.user) == 0) {
    VgDeleteContext(ctx);
    return nullptr;
  }
  igraphics::VgGlyphCacheParams params;
  params.width = kVgInitialAtlasSize;
  params.height = kVgInitialAtlasSize;
  params.flags = igraphics::kVgGlyphCacheOriginTopLeft;
  ctx->glyphCache = igraphics::VgGlyphCacheCreate(params);
  if (ctx->glyphCache != nullptr)
    ctx->fontImages[0] = ctx->callbacks.createTexture(
        ctx->callbacks.user, kVgTextureAlpha, kVgInitialAtlasSize, kVgInitialAtlasSize, 0, nullptr);
  if (ctx->fontImages[0] == 0) {
    VgDeleteContext(ctx);
    return nullptr;
  }
  return ctx;
}

void VgDeleteContext(VgContext* ctx) {
  if (ctx == nullptr) return;
  std::free(ctx->commands);
  VgPathCacheDelete(ctx->cache);
  igraphics::VgGlyphCacheDelete(ctx->glyphCache);
  for (int32_t image : ctx->fontImages)
    if (image != 0) ctx->callbacks.deleteTexture(ctx->callbacks.user, image);
  if (ctx->callbacks.destroy != nullptr) ctx->callbacks.destroy(ctx->callbacks.user);
  delete ctx;
}

void VgBeginFrame(VgContext* ctx, float windowWidth, float windowHeight, float devicePixelRatio) {
  ctx->stateCount = 0;
  VgSave(ctx);
  VgReset(ctx);
  // A ratio of zero, below or not finite would make every tolerance
  // infinite or negative; such a frame is drawn at ratio 1.
  const bool usable = devicePixelRatio > 0.0f && std::isfinite(devicePixelRatio);
  SetDevicePixelRatio(ctx, usable ? devicePixelRatio : 1.0f);
  ctx->callbacks.viewport(ctx->callbacks.user, windowWidth, windowHeight, ctx->devicePxRatio);
  ctx->drawCallCount = 0;
  ctx->fillTriCount = 0;
  ctx->strokeTriCount = 0;
  ctx->textTriCount = 0;
}

void VgEndFrame(VgContext* ctx) {
  ctx->callbacks.flush(ctx->callbacks.user);
  ReconcileAtlases(ctx);
}

void VgCancelFrame(VgContext* ctx) { ctx->callbacks.cancel(ctx->callbacks.user); }

void VgSave(VgContext* ctx) {
  if (ctx->stateCount >= kVgMaxStates) return;
  if (ctx->stateCount > 0) ctx->states[ctx->stateCount] = ctx->states[ctx->stateCount - 1];
  ++ctx->stateCount;
}

void VgRestore(VgContext* ctx) {
  if (ctx->stateCount <= 1) return;
  --ctx->stateCount;
}

void VgReset(VgContext* ctx) {
  VgState* state = VgGetState(ctx);
  *state = VgState{};
  state->fill = VgFillColor(VgColor{1.0f, 1.0f, 1.0f, 1.0f});
  state->stroke = VgFillColor(VgColor{0.0f, 0.0f, 0.0f, 1.0f});
}

VgState* VgGetState(VgContext* ctx) { return &ctx->states[ctx->stateCount - 1]; }

} // namespace plugkit
