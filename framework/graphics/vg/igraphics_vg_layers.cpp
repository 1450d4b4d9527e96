#include "framework/graphics/vg/igraphics_vg.h"

#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_draw.h"
#include "framework/graphics/vg/vg_framebuffer.h"
#include "framework/graphics/vg/vg_image.h"

#include <algorithm>

// Everything here that touches GL directly: on Windows the GL header brings
// in windows.h, whose macros rename LoadBitmap and GetModuleHandle, so the
// bitmap loading lives apart from it.

namespace plugkit::igraphics {

namespace {

int32_t ImageDimension(VgContext* ctx, int32_t image, bool height) {
  int32_t w = 0;
  int32_t h = 0;
  if (!ctx || !VgImageSize(ctx, image, &w, &h)) return 0;
  return height ? h : w;
}

} // namespace

IGraphicsVG::Bitmap::Bitmap(VgContext* context, float scale, int32_t image, bool doNotDelete,
                            float drawScale)
    : APIBitmap(image, ImageDimension(context, image, false), ImageDimension(context, image, true),
                scale, drawScale),
      context_(context),
      doNotDelete_(doNotDelete) {}

IGraphicsVG::Bitmap::Bitmap(IGraphicsVG& graphics, VgFramebuffer* framebuffer, int32_t width,
                            int32_t height, float scale, float drawScale)
    : APIBitmap(framebuffer->image, width, height, scale, drawScale),
      graphics_(&graphics),
      context_(framebuffer->context),
      framebuffer_(framebuffer) {}

IGraphicsVG::Bitmap::~Bitmap() {
  if (doNotDelete_) return;
  if (framebuffer_) {
    DeleteBitmapLater(graphics_, framebuffer_);
  } else if (context_ && GetHandle() > 0) {
    VgDeleteImage(context_, GetHandle());
  }
}

std::unique_ptr<APIBitmap> IGraphicsVG::CreateAPIBitmap(int width, int height, float scale,
                                                        double drawScale, bool) {
  if (!context_ || width <= 0 || height <= 0) return nullptr;
  // What is queued belongs to the target bound now.
  if (inFrame_) VgEndFrame(context_);
  std::unique_ptr<APIBitmap> bitmap;
  if (VgFramebuffer* framebuffer = VgCreateFramebuffer(context_, width, height, 0)) {
    VgBindFramebuffer(framebuffer);
    vgGl.Viewport(0, 0, width, height);
    vgGl.ClearColor(0.f, 0.f, 0.f, 0.f);
    vgGl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    VgBeginFrame(context_, static_cast<float>(width), static_cast<float>(height), 1.f);
    VgEndFrame(context_);
    bitmap = std::make_unique<Bitmap>(*this, framebuffer, width, height, scale,
                                      static_cast<float>(drawScale));
  }
  if (inFrame_) {
    VgBindFramebuffer(backingLayer_);
    VgBeginFrame(context_, static_cast<float>(FrameWidth()), static_cast<float>(FrameHeight()),
                 GetScreenScale());
  } else {
    VgBindFramebuffer(nullptr);
  }
  return bitmap;
}

void IGraphicsVG::GetLayerBitmapData(const ILayerPtr& layer, HeapBuffer& data) {
  const auto* bitmap = layer ? dynamic_cast<const Bitmap*>(layer->GetAPIBitmap()) : nullptr;
  if (!context_ || !bitmap || !bitmap->GetFramebuffer()) return;
  const int size = bitmap->GetWidth() * bitmap->GetHeight() * 4;
  if (!data.Resize(size, false) || data.Size() != size) return;
  PushLayer(layer.get());
  VgReadPixels(bitmap->GetWidth(), bitmap->GetHeight(), data.Data());
  PopLayer();
}

void IGraphicsVG::ApplyShadowMask(ILayerPtr& layer, HeapBuffer& mask, const IShadow& shadow) {
  const APIBitmap* bitmap = layer ? layer->GetAPIBitmap() : nullptr;
  if (!context_ || !bitmap) return;
  const int w = bitmap->GetWidth();
  const int h = bitmap->GetHeight();
  if (mask.Size() < w * h * 4) return;
  const IRect bounds = layer->Bounds();

  if (!shadow.drawForeground) {
    PushLayer(layer.get());
    VgGetState(context_)->blend = VgBlendState{kVgZero, kVgZero, kVgZero, kVgZero};
    PathRect(bounds);
    SetFillColor(IColor(0, 0, 0, 0), nullptr);
    VgFill(context_);
    PopLayer();
  }

  // The mask's rows run bottom-up, as they were read, and it is drawn
  // unflipped into a framebuffer whose image is flipped again when drawn.
  const int32_t maskImage = context_->callbacks.createTexture(context_->callbacks.user,
                                                              kVgTextureRgba, w, h, 0, mask.Data());
  Bitmap maskBitmap(context_, bitmap->GetScale(), maskImage, false, bitmap->GetDrawScale());
  ILayer shadowLayer(CreateAPIBitmap(w, h, bitmap->GetScale(), bitmap->GetDrawScale()), bounds,
                     nullptr, IRect());
  if (!shadowLayer.GetAPIBitmap()) return;

  PathTransformSave();
  PushLayer(layer.get());
  PushLayer(&shadowLayer);
  DrawBitmap(IBitmap(&maskBitmap, 1, false, ""), bounds, 0, 0);
  PathRect(bounds);
  PathTransformTranslate(-shadow.xOffset, -shadow.yOffset);
  const IBlend maskedByAlpha{1, 1.f};
  PathFill(shadow.pattern, IFillOptions(), &maskedByAlpha);
  PopLayer();
  const IBlend under{4, std::clamp(shadow.opacity, 0.f, 1.f)};
  DrawBitmap(IBitmap(shadowLayer.GetAPIBitmap(), 1, false, ""),
             IRect(bounds.L + shadow.xOffset, bounds.T + shadow.yOffset, bounds.R + shadow.xOffset,
                   bounds.B + shadow.yOffset),
             0, 0, &under);
  PopLayer();
  PathTransformRestore();
}

} // namespace plugkit::igraphics
