#pragma once

#include "framework/graphics/igraphics.h"
#include "framework/graphics/image_caches.h"
#include "framework/graphics/vg/vg_backend.h"

#include <deque>
#include <mutex>

namespace plugkit {
struct VgContext;
struct VgFramebuffer;
} // namespace plugkit

namespace plugkit::igraphics {

// The drawing back end of the graphics context on the vector renderer and
// its OpenGL 2 back end. A frame is drawn into an offscreen framebuffer (the
// backing layer), which keeps its pixels between frames so that a frame
// redraws only its dirty areas, and is then copied onto the window's
// framebuffer. Layers are framebuffers of their own.
//
// Everything runs on the user-interface thread with the window's GL context
// current; the window layer derives from this class and supplies the
// platform operations.
class IGraphicsVG : public IGraphics {
public:
  // The back end's image: a renderer image, or a framebuffer's colour
  // texture for a layer.
  class Bitmap : public APIBitmap {
  public:
    // A loaded image; its size is the renderer's (0 x 0 for an unknown id).
    // With doNotDelete the image outlives the bitmap.
    Bitmap(VgContext* context, float scale, int32_t image, bool doNotDelete, float drawScale = 1.f);
    // A layer: owns the framebuffer, which `graphics` deletes once no draw
    // call of the frame can still sample it.
    Bitmap(IGraphicsVG& graphics, VgFramebuffer* framebuffer, int32_t width, int32_t height,
           float scale, float drawScale);
    ~Bitmap() override;

    VgFramebuffer* GetFramebuffer() const { return framebuffer_; }

  private:
    IGraphicsVG* graphics_ = nullptr;
    VgContext* context_ = nullptr;
    VgFramebuffer* framebuffer_ = nullptr;
    bool doNotDelete_ = false;
  };

  IGraphicsVG(IGEditorDelegate& delegate, int width, int height, int fps = 60, float scale = 1.f);
  ~IGraphicsVG() override;

  void BeginFrame() override;
  void* InitDrawContext() override;
  void ReleaseDrawContext() override;
  void EndFrame() override;
  void DrawBitmap(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY,
                  const IBlend* blend = nullptr) override;
  void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                      const IBlend* blend = nullptr, float thickness = 1.f,
                      float dashLen = 2.f) override;
  void DrawDottedRect(const IColor& color, const IRect& bounds, const IBlend* blend = nullptr,
                      float thickness = 1.f, float dashLen = 2.f) override;
  void DrawMultiLineText(const ITextStyle& style, const char* text, const IRect& bounds,
                         const IBlend* blend = nullptr) override;
  IColor GetConstantColor() const override { return IColor(255, 0, 0, 0); }
  void* GetDrawContext() override { return context_; }
  const char* GetDrawingAPIName() override { return "VG | GL2"; }
  void ReleaseBitmap(APIBitmap*) override {}
  bool BitmapExtSupported(const char* ext) override;
  void DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds, float xyDrop = 5.f,
                          float roundness = 0.f, float blur = 10.f,
                          const IBlend* blend = nullptr) override;
  void GetLayerBitmapData(const ILayerPtr& layer, HeapBuffer& data) override;
  void ApplyShadowMask(ILayerPtr& layer, HeapBuffer& mask, const IShadow& shadow) override;
  void UpdateLayer() override;
  void PathClear() override;
  void PathClose() override;
  void PathArc(float cx, float cy, float r, float a1, float a2, int winding = 0) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathSetWinding(bool clockwise) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const IPattern& pattern, float thickness,
                  const IStrokeOptions& options = IStrokeOptions(),
                  const IBlend* blend = nullptr) override;
  void PathFill(const IPattern& pattern, const IFillOptions& options = IFillOptions(),
                const IBlend* blend = nullptr) override;
  void SetTransformMatrix(const ITransform& transform) override;
  void SetClipRegion(const IRect& r) override;
  void RecreateBackingLayer() override;
  IBitmap LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false,
                     int targetScale = 0) override;
  // The own cache keeps the decoded image; the caller gets a handle to it
  // that frees nothing. Null, and nothing cached, when the bytes do not
  // decode.
  std::unique_ptr<APIBitmap> LoadAPIBitmapFromData(const char* name, const void* data, int dataSize,
                                                   int scale) override;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale,
                                           EResourceLocation location, const char* ext) override;
  // Null when no framebuffer can be made.
  std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                             bool cacheable = false) override;
  bool LoadAPIFont(const char* fontID, const PlatformFont& font) override;
  int AlphaChannelIndex() const override { return 3; }
  bool IsBitmapFlipped() const override { return true; }
  float DoMeasureText(const ITextStyle& style, const char* text, IRect& bounds) const override;
  void DoDrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                  const IBlend* blend = nullptr) override;

  // A gradient paint of the pattern in editor units.
  VgPaint MakePaint(const IPattern& pattern, const IBlend* blend) const;
  void SetBlendMode(const IBlend* blend);
  // Anchors the text in `r` by the style's alignment, sets the renderer's
  // text state and replaces `r` with the text's bounds.
  void LayoutText(const ITextStyle& style, const char* text, IRect& r, float& x, float& y) const;

  // Deletes the framebuffer now, or at the end of the frame while one is
  // being drawn.
  static void DeleteBitmapLater(IGraphicsVG* graphics, VgFramebuffer* framebuffer);
  void FlushPendingDeletes();

  VgFramebuffer* GetBackingLayer() const { return backingLayer_; }

protected:
  // Retained bitmaps stay with the images this object loaded, so that every
  // handle to a bitmap dies with the renderer that holds its image.
  BitmapCache& RetainedBitmaps() override { return bitmapCache_; }

private:
  int FrameWidth() const;
  int FrameHeight() const;
  int ViewportWidth() const;
  int ViewportHeight() const;
  void SetFillColor(const IColor& color, const IBlend* blend);
  void ResetBlend();
  void DeleteBackingLayer();

  bool inFrame_ = false;
  std::mutex pendingLock_;
  std::deque<VgFramebuffer*> pendingDeletes_;
  BitmapCache bitmapCache_;
  VgContext* context_ = nullptr;
  VgFramebuffer* backingLayer_ = nullptr;
};

} // namespace plugkit::igraphics
