#include "framework/graphics/images.h"

#include "third_party/nanosvg/nanosvg.h"

namespace plugkit::igraphics {

IBitmap::IBitmap(APIBitmap* bitmap, int nFrames, bool framesAreHorizontal, const char* name)
    : apiBitmap_(bitmap), nFrames_(nFrames), framesAreHorizontal_(framesAreHorizontal) {
  if (bitmap) {
    w_ = static_cast<int>(static_cast<float>(bitmap->GetWidth()) / bitmap->GetScale());
    h_ = static_cast<int>(static_cast<float>(bitmap->GetHeight()) / bitmap->GetScale());
  }
  name_.Set(name);
}

float ISVG::W() const { return image ? image->width : 0.f; }

float ISVG::H() const { return image ? image->height : 0.f; }

} // namespace plugkit::igraphics
