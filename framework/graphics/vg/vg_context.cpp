#include "framework/graphics/vg/vg_context.h"

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
  return ctx;
}

void VgDeleteContext(VgContext* ctx) {
  if (ctx == nullptr) return;
  std::free(ctx->commands);
  VgPathCacheDelete(ctx->cache);
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

void VgEndFrame(VgContext* ctx) { ctx->callbacks.flush(ctx->callbacks.user); }

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
