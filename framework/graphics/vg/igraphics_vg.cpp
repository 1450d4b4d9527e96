#include "framework/graphics/vg/igraphics_vg.h"

#include "framework/graphics/font_file_data.h"
#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_draw.h"
#include "framework/graphics/vg/vg_framebuffer.h"
#include "framework/graphics/vg/vg_gl2_backend.h"
#include "framework/graphics/vg/vg_paint.h"
#include "framework/graphics/vg/vg_transform.h"

#include <new>

namespace plugkit::igraphics {

IGraphicsVG::IGraphicsVG(IGEditorDelegate& delegate, int width, int height, int fps, float scale)
    : IGraphics(delegate, width, height, fps, scale) {
  FontDataCache& fonts = GetFontDataCache();
  auto lock = fonts.Lock();
  fonts.Retain();
}

IGraphicsVG::~IGraphicsVG() {
  // The controls' layers and the cached images hold renderer images, so
  // they go while the renderer still exists.
  if (context_) ReleaseDrawContext();
  {
    FontDataCache& fonts = GetFontDataCache();
    auto lock = fonts.Lock();
    fonts.Release();
    FlushPendingDeletes();
  }
  auto lock = bitmapCache_.Lock();
  bitmapCache_.Clear();
}

int IGraphicsVG::FrameWidth() const { return static_cast<int>(Width() * GetDrawScale()); }
int IGraphicsVG::FrameHeight() const { return static_cast<int>(Height() * GetDrawScale()); }
int IGraphicsVG::ViewportWidth() const { return static_cast<int>(FrameWidth() * GetScreenScale()); }
int IGraphicsVG::ViewportHeight() const {
  return static_cast<int>(FrameHeight() * GetScreenScale());
}

void* IGraphicsVG::InitDrawContext() {
  if (context_) return context_;
  auto* backend = new (std::nothrow) VgGl2Backend{};
  if (!backend) return nullptr;
  backend->flags = kVgGl2Antialias;
  // On failure the renderer has already handed the back end to its destroy
  // operation.
  context_ = VgCreateContext(VgGl2Callbacks(backend));
  return context_;
}

void IGraphicsVG::ReleaseDrawContext() {
  RemoveAllControls();
  auto lock = bitmapCache_.Lock();
  bitmapCache_.Clear();
  DeleteBackingLayer();
  // Framebuffers queued during a frame that never ended must go before the
  // renderer that holds their images.
  FlushPendingDeletes();
  VgDeleteContext(context_);
  context_ = nullptr;
}

void IGraphicsVG::BeginFrame() {
  inFrame_ = true;
  IGraphics::BeginFrame();
  if (!context_) return;
  vgGl.Viewport(0, 0, ViewportWidth(), ViewportHeight());
  vgGl.ClearColor(0.f, 0.f, 0.f, 0.f);
  vgGl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  VgBindFramebuffer(backingLayer_);
  VgBeginFrame(context_, static_cast<float>(FrameWidth()), static_cast<float>(FrameHeight()),
               GetScreenScale());
}

void IGraphicsVG::EndFrame() {
  if (context_) {
    VgEndFrame(context_);
    VgBindFramebuffer(nullptr);
    // Without a backing layer the frame was drawn straight into the window.
    if (backingLayer_) {
      const auto w = static_cast<float>(FrameWidth());
      const auto h = static_cast<float>(FrameHeight());
      VgBeginFrame(context_, w, h, GetScreenScale());
      VgSave(context_);
      VgState* state = VgGetState(context_);
      VgTransformIdentity(state->xform);
      VgBeginPath(context_);
      VgRect(context_, 0.f, 0.f, w, h);
      state->fill = VgImagePattern(0.f, 0.f, w, h, 0.f, backingLayer_->image, 1.f);
      VgTransformMultiply(state->fill.xform, state->xform);
      VgFill(context_);
      VgRestore(context_);
      VgEndFrame(context_);
    }
  }
  inFrame_ = false;
  FlushPendingDeletes();
}

void IGraphicsVG::UpdateLayer() {
  if (!context_) return;
  VgEndFrame(context_);
  if (const ILayer* layer = TopLayer()) {
    const IRect& b = layer->Bounds();
    const float scale = GetTotalScale();
    const auto* bitmap = dynamic_cast<const Bitmap*>(layer->GetAPIBitmap());
    // The layer's bitmap may be a pixel larger than its bounds at this scale
    // (its size is rounded up twice). GL's origin is the bottom row and the
    // image is drawn back from its top, so the viewport spans the whole
    // bitmap: a smaller one would put the layer's content that much lower.
    const int width = bitmap ? bitmap->GetWidth() : static_cast<int>(b.W() * scale);
    const int height = bitmap ? bitmap->GetHeight() : static_cast<int>(b.H() * scale);
    vgGl.Viewport(0, 0, width, height);
    VgBindFramebuffer(bitmap ? bitmap->GetFramebuffer() : nullptr);
    const float screenScale = GetScreenScale();
    VgBeginFrame(context_, static_cast<float>(width) / screenScale,
                 static_cast<float>(height) / screenScale, screenScale);
    return;
  }
  vgGl.Viewport(0, 0, ViewportWidth(), ViewportHeight());
  // Outside a frame the window's framebuffer stays bound: the next frame
  // clears whatever is bound, and that must never be the backing layer.
  VgBindFramebuffer(inFrame_ ? backingLayer_ : nullptr);
  VgBeginFrame(context_, static_cast<float>(FrameWidth()), static_cast<float>(FrameHeight()),
               GetScreenScale());
}

void IGraphicsVG::SetTransformMatrix(const ITransform& m) {
  if (!context_) return;
  float* xform = VgGetState(context_)->xform;
  VgTransformIdentity(xform);
  const float drawScale = GetDrawScale();
  const float scale[6] = {drawScale, 0.f, 0.f, drawScale, 0.f, 0.f};
  VgTransformPremultiply(xform, scale);
  const ILayer* layer = TopLayer();
  const float originX = layer ? layer->Bounds().L : 0.f;
  const float originY = layer ? layer->Bounds().T : 0.f;
  const float translate[6] = {1.f, 0.f, 0.f, 1.f, -originX, -originY};
  VgTransformPremultiply(xform, translate);
  const float matrix[6] = {static_cast<float>(m.xx), static_cast<float>(m.yx),
                           static_cast<float>(m.xy), static_cast<float>(m.yy),
                           static_cast<float>(m.tx), static_cast<float>(m.ty)};
  VgTransformPremultiply(xform, matrix);
}

void IGraphicsVG::SetClipRegion(const IRect& r) {
  if (context_) VgScissor(context_, r.L, r.T, r.W(), r.H());
}

void IGraphicsVG::RecreateBackingLayer() {
  ActivateGLContext();
  DeleteBackingLayer();
  if (context_) backingLayer_ = VgCreateFramebuffer(context_, ViewportWidth(), ViewportHeight(), 0);
  DeactivateGLContext();
}

void IGraphicsVG::DeleteBackingLayer() {
  VgDeleteFramebuffer(backingLayer_);
  backingLayer_ = nullptr;
}

void IGraphicsVG::DeleteBitmapLater(IGraphicsVG* graphics, VgFramebuffer* framebuffer) {
  if (graphics && graphics->inFrame_) {
    std::lock_guard<std::mutex> lock(graphics->pendingLock_);
    graphics->pendingDeletes_.push_back(framebuffer);
    return;
  }
  VgDeleteFramebuffer(framebuffer);
}

void IGraphicsVG::FlushPendingDeletes() {
  std::lock_guard<std::mutex> lock(pendingLock_);
  while (!pendingDeletes_.empty()) {
    VgDeleteFramebuffer(pendingDeletes_.back());
    pendingDeletes_.pop_back();
  }
}

} // namespace plugkit::igraphics
