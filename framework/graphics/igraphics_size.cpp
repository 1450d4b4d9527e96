#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/igraphics.h"

#include <algorithm>
#include <cmath>

namespace plugkit::igraphics {

namespace {

bool UsableScale(float scale) { return std::isfinite(scale) && scale > 0.f; }

} // namespace

void IGraphics::Resize(int width, int height, float scale, bool needsPlatformResize) {
  delegate_.ClampEditorSize(width, height);
  if (!UsableScale(scale)) scale = drawScale_;
  scale = std::min(maxScale_, std::max(minScale_, scale));
  if (width == width_ && height == height_ && scale == drawScale_) return;
  ReleaseMouseCapture();
  width_ = width;
  height_ = height;
  drawScale_ = scale;
  if (cornerResizer_) cornerResizer_->OnRescale();
  const bool resized =
      delegate_.ResizeEditorFromUI(WindowWidth(), WindowHeight(), needsPlatformResize);
  PlatformResize(resized);
  ForAllControls([](IControl& c) { c.OnResize(); });
  SetAllControlsDirty();
  RecreateBackingLayer();
  if (layoutOnResize_) delegate_.LayoutEditor(this);
}

void IGraphics::SetScreenScale(float scale) {
  if (!UsableScale(scale)) return;
  screenScale_ = scale;
  PlatformResize(delegate_.ResizeEditorFromUI(WindowWidth(), WindowHeight(), true));
  ForAllControls([](IControl& c) { c.OnRescale(); });
  SetAllControlsDirty();
  RecreateBackingLayer();
}

void IGraphics::SetUIScaleLimits(float a, float b) {
  minScale_ = std::min(a, b);
  maxScale_ = std::max(a, b);
}

int IGraphics::WindowWidth() const { return WindowPixels(width_, drawScale_); }

int IGraphics::WindowHeight() const { return WindowPixels(height_, drawScale_); }

int IGraphics::WindowPixels(int units, float scale) const {
  return static_cast<int>(GetPlatformWindowScale() *
                          static_cast<float>(static_cast<int>(static_cast<float>(units) * scale)));
}

} // namespace plugkit::igraphics
