#pragma once

#include "framework/graphics/images.h"
#include "framework/graphics/resource_cache.h"

namespace plugkit::igraphics {

struct SVGImageDeleter {
  void operator()(NSVGimage* image) const;
};

using BitmapCache = ResourceCache<APIBitmap>;
using SVGCache = ResourceCache<NSVGimage, SVGImageDeleter>;

// The two caches every graphics context of the process shares. Where both
// locks are needed, the bitmap cache's is taken first.
BitmapCache& GetBitmapCache();
SVGCache& GetSVGCache();

} // namespace plugkit::igraphics
