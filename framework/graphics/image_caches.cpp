#include "framework/graphics/image_caches.h"

#include "third_party/nanosvg/nanosvg.h"

namespace plugkit::igraphics {

void SVGImageDeleter::operator()(NSVGimage* image) const { nsvgDelete(image); }

BitmapCache& GetBitmapCache() {
  static BitmapCache cache;
  return cache;
}

SVGCache& GetSVGCache() {
  static SVGCache cache;
  return cache;
}

} // namespace plugkit::igraphics
