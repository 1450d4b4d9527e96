#pragma once

#include "framework/core/string_buffer.h"
#include "framework/graphics/ipattern.h"
#include "framework/graphics/irect.h"

#include <cstdint>
#include <memory>

struct NSVGimage;

namespace plugkit::igraphics {

class IControl;

// The drawing back end's image. Deleting it frees the back-end image; the
// owner is a cache, a layer, or whoever a loading call handed it to.
class APIBitmap {
public:
  APIBitmap(int32_t handle, int32_t width, int32_t height, float scale, float drawScale)
      : handle_(handle), width_(width), height_(height), scale_(scale), drawScale_(drawScale) {}
  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;
  virtual ~APIBitmap() = default;

  int32_t GetHandle() const { return handle_; }
  // Pixel size.
  int32_t GetWidth() const { return width_; }
  int32_t GetHeight() const { return height_; }
  // The resolution the image was made for (2 for an "@2x" image).
  float GetScale() const { return scale_; }
  // The editor's draw scale when the image was drawn off-screen.
  float GetDrawScale() const { return drawScale_; }

private:
  int32_t handle_;
  int32_t width_;
  int32_t height_;
  float scale_;
  float drawScale_;
};

// A handle to a loaded bitmap, copied freely; it does not own the image.
// Without an APIBitmap it is the invalid bitmap a failed load returns.
class IBitmap {
public:
  IBitmap() = default;
  IBitmap(APIBitmap* bitmap, int nFrames, bool framesAreHorizontal, const char* name);

  APIBitmap* GetAPIBitmap() const { return apiBitmap_; }
  bool IsValid() const { return apiBitmap_ != nullptr; }
  // Editor units: the pixel size divided by the image's scale, truncated.
  int W() const { return w_; }
  int H() const { return h_; }
  int N() const { return nFrames_; }
  bool GetFramesAreHorizontal() const { return framesAreHorizontal_; }
  const char* GetResourceName() const { return name_.Get(); }
  float GetScale() const { return apiBitmap_ ? apiBitmap_->GetScale() : 0.f; }
  float GetDrawScale() const { return apiBitmap_ ? apiBitmap_->GetDrawScale() : 0.f; }

private:
  APIBitmap* apiBitmap_ = nullptr;
  int w_ = 0;
  int h_ = 0;
  int nFrames_ = 0;
  bool framesAreHorizontal_ = false;
  StringBuffer name_;
};

// A handle to a parsed SVG image owned by the process-wide SVG cache.
struct ISVG {
  NSVGimage* image = nullptr;

  bool IsValid() const { return image != nullptr; }
  float W() const;
  float H() const;
};

// One off-screen drawing surface; deleting it deletes its bitmap.
class ILayer {
public:
  ILayer(std::unique_ptr<APIBitmap> bitmap, const IRect& bounds, IControl* control,
         const IRect& controlRect)
      : bitmap_(std::move(bitmap)), control_(control), controlRect_(controlRect), bounds_(bounds) {}

  APIBitmap* GetAPIBitmap() const { return bitmap_.get(); }
  std::unique_ptr<APIBitmap> ReleaseAPIBitmap() { return std::move(bitmap_); }
  IControl* GetControl() const { return control_; }
  const IRect& GetControlRect() const { return controlRect_; }
  // Editor units, pixel-aligned at the total scale when made.
  const IRect& Bounds() const { return bounds_; }

private:
  std::unique_ptr<APIBitmap> bitmap_;
  IControl* control_;
  IRect controlRect_;
  IRect bounds_;
};

using ILayerPtr = std::unique_ptr<ILayer>;

// A drop shadow applied to a layer. Only the back end's compositing reads
// the offsets, the opacity and the foreground flag.
struct IShadow {
  IPattern pattern{IColor(255, 0, 0, 0)};
  float blurSize = 0.f;
  float xOffset = 0.f;
  float yOffset = 0.f;
  float opacity = 1.f;
  bool drawForeground = true;
};

} // namespace plugkit::igraphics
