#include "framework/graphics/igraphics.h"

#include "framework/core/resource_services.h"
#include "framework/graphics/image_caches.h"
#include "third_party/nanosvg/nanosvg.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace plugkit::igraphics {

namespace {

// The wanted scale first, then 3, 2 and 1 without it; nothing for a wanted
// scale of 0 or less.
std::vector<int> ScaleSearchOrder(int wanted) {
  std::vector<int> order;
  if (wanted <= 0) return order;
  order.push_back(wanted);
  for (int scale : {3, 2, 1}) {
    if (scale != wanted) order.push_back(scale);
  }
  return order;
}

// The text after the last full stop, or the whole name without one.
const char* BitmapExtension(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot ? dot + 1 : name;
}

// The candidate file or resource name of an image at `scale`: the name
// itself at scale 1, else the stem, "@<scale>x" and the extension.
std::string ScaledCandidate(const char* name, int scale) {
  if (scale == 1) return name;
  const std::string text(name);
  const size_t slash = text.find_last_of("/\\");
  const size_t dot = text.find_last_of('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExt ? text.substr(0, dot) : text;
  const std::string ext = hasExt ? text.substr(dot) : std::string();
  std::string candidate = stem + "@" + std::to_string(scale) + "x" + ext;
  candidate.resize(std::min(candidate.size(), text.size() + 3));
  return candidate;
}

} // namespace

EResourceLocation IGraphics::SearchImageResource(const char* name, const char* type,
                                                 StringBuffer& result, int targetScale,
                                                 int& sourceScale) {
  for (int scale : ScaleSearchOrder(targetScale)) {
    const std::string candidate = ScaledCandidate(name, scale);
    const int found = LocateResource(candidate.c_str(), type, result, GetModuleHandle());
    if (found > 0) {
      sourceScale = scale;
      return static_cast<EResourceLocation>(found);
    }
  }
  return EResourceLocation::NotFound;
}

BitmapCache& IGraphics::RetainedBitmaps() { return GetBitmapCache(); }

APIBitmap* IGraphics::SearchNextScale(const char* name, int targetScale, int& sourceScale) {
  BitmapCache& cache = RetainedBitmaps();
  auto lock = cache.Lock();
  for (int scale : ScaleSearchOrder(targetScale)) {
    if (APIBitmap* bitmap = cache.Find(name, scale)) {
      sourceScale = scale;
      return bitmap;
    }
  }
  return nullptr;
}

IBitmap IGraphics::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal,
                              int targetScale) {
  const int scale = targetScale ? targetScale : static_cast<int>(std::ceil(screenScale_));
  BitmapCache& cache = RetainedBitmaps();
  auto lock = cache.Lock();
  APIBitmap* bitmap = cache.Find(name, scale);
  std::unique_ptr<APIBitmap> loaded;
  if (!bitmap) {
    const char* ext = BitmapExtension(name);
    if (!BitmapExtSupported(ext)) return IBitmap();
    StringBuffer location;
    int foundScale = 0;
    const EResourceLocation where = SearchImageResource(name, ext, location, scale, foundScale);
    if (where != EResourceLocation::NotFound) {
      if (foundScale != scale) bitmap = cache.Find(name, foundScale);
      if (!bitmap) {
        loaded = LoadAPIBitmap(location.Get(), foundScale, where, ext);
        bitmap = loaded.get();
      }
    } else {
      bitmap = SearchNextScale(name, scale, foundScale);
    }
    if (!bitmap) return IBitmap();
  }

  const IBitmap found(bitmap, nStates, framesAreHorizontal, name);
  if (bitmap->GetScale() != static_cast<float>(scale)) return ScaleBitmap(found, name, scale);
  if (loaded) {
    RetainBitmap(found, name);
    loaded.release();
  }
  return found;
}

IBitmap IGraphics::LoadBitmapFromData(const char* name, const void* data, int dataSize, int nStates,
                                      bool framesAreHorizontal, int targetScale) {
  const int scale = targetScale ? targetScale : static_cast<int>(std::ceil(screenScale_));
  BitmapCache& cache = RetainedBitmaps();
  auto lock = cache.Lock();
  APIBitmap* bitmap = cache.Find(name, scale);
  std::unique_ptr<APIBitmap> decoded;
  if (!bitmap) {
    if (!BitmapExtSupported(BitmapExtension(name))) return IBitmap();
    int foundScale = 0;
    bitmap = SearchNextScale(name, scale, foundScale);
    if (!bitmap) {
      decoded = LoadAPIBitmapFromData(name, data, dataSize, 1);
      bitmap = decoded.get();
    }
    if (!bitmap) return IBitmap();
  }

  const IBitmap found(bitmap, nStates, framesAreHorizontal, name);
  // The decoded image is kept in the cache at its own scale even when a
  // scaled copy is the result: a back end that keeps what it decodes still
  // owns it, so deleting it here would free it twice.
  if (decoded) {
    RetainBitmap(found, name);
    decoded.release();
  }
  if (bitmap->GetScale() != static_cast<float>(scale)) return ScaleBitmap(found, name, scale);
  return found;
}

IBitmap IGraphics::ScaleBitmap(const IBitmap& bitmap, const char* name, int targetScale) {
  const float screenScale = screenScale_;
  const float drawScale = drawScale_;
  screenScale_ = static_cast<float>(targetScale);
  drawScale_ = bitmap.GetDrawScale();
  const IRect bounds(0.f, 0.f, static_cast<float>(bitmap.W()) / drawScale_,
                     static_cast<float>(bitmap.H()) / drawScale_);
  BeginLayer(nullptr, bounds, true);
  DrawBitmap(bitmap, bounds, 0, 0, nullptr);
  ILayerPtr layer = FinishLayer();
  std::unique_ptr<APIBitmap> copy = layer ? layer->ReleaseAPIBitmap() : nullptr;
  screenScale_ = screenScale;
  drawScale_ = drawScale;
  if (!copy) return IBitmap();
  const IBitmap result(copy.release(), bitmap.N(), bitmap.GetFramesAreHorizontal(), name);
  RetainBitmap(result, name);
  return result;
}

void IGraphics::RetainBitmap(const IBitmap& bitmap, const char* cacheName) {
  APIBitmap* api = bitmap.GetAPIBitmap();
  if (!api) return;
  BitmapCache& cache = RetainedBitmaps();
  auto lock = cache.Lock();
  cache.Add(BitmapCache::Owned(api), cacheName, api->GetScale());
}

void IGraphics::ReleaseBitmap(APIBitmap* bitmap) {
  BitmapCache& cache = RetainedBitmaps();
  auto lock = cache.Lock();
  cache.Remove(bitmap);
}

ISVG IGraphics::LoadSVG(const char* name, const char* units, float dpi) {
  SVGCache& cache = GetSVGCache();
  auto lock = cache.Lock();
  if (NSVGimage* image = cache.Find(name, 1.0)) return ISVG{image};
  HeapBuffer data(4096);
  LoadResource(name, "svg", data);
  if (data.Size() == 0) return ISVG();
  return LoadSVGFromData(name, data.Data(), data.Size(), units, dpi);
}

ISVG IGraphics::LoadSVGFromData(const char* name, const void* data, int dataSize, const char* units,
                                float dpi) {
  SVGCache& cache = GetSVGCache();
  auto lock = cache.Lock();
  if (NSVGimage* image = cache.Find(name, 1.0)) return ISVG{image};
  if (!data || dataSize <= 0) return ISVG();
  std::vector<char> text(static_cast<const char*>(data), static_cast<const char*>(data) + dataSize);
  text.push_back('\0');
  SVGCache::Owned image(nsvgParse(text.data(), units, dpi));
  // Text that holds no drawable image has no size to scale into bounds.
  if (!image || !(image->width > 0.f) || !(image->height > 0.f)) return ISVG();
  const ISVG svg{image.get()};
  cache.Add(std::move(image), name, 1.0);
  return svg;
}

void IGraphics::LoadResource(const char* name, const char* type, HeapBuffer& data) {
  data.Resize(0, true);
  StringBuffer location;
  const int found = LocateResource(name, type, location, GetModuleHandle());
  if (found == kResourceFile) {
    std::FILE* file = OpenResourceFile(location.Get());
    if (!file) return;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::rewind(file);
    if (size > 0 && data.Resize(static_cast<int>(size), false) && data.Size() == size) {
      if (std::fread(data.Data(), 1, static_cast<size_t>(size), file) != static_cast<size_t>(size))
        data.Resize(0, true);
    } else {
      data.Resize(0, true);
    }
    std::fclose(file);
  } else if (found == kResourceEmbedded) {
    int size = 0;
    const void* bytes = LoadWinResource(location.Get(), type, size, GetModuleHandle());
    if (bytes && size > 0 && data.Resize(size, false) && data.Size() == size)
      std::memcpy(data.Data(), bytes, static_cast<size_t>(size));
  }
}

bool IGraphics::LoadFont(const char* fontID, const char* fileNameOrResID) {
  const std::unique_ptr<PlatformFont> font = LoadPlatformFontFromFile(fontID, fileNameOrResID);
  if (!font || !LoadAPIFont(fontID, *font)) return false;
  CachePlatformFont(fontID, *font);
  return true;
}

bool IGraphics::LoadFontFromMemory(const char* fontID, const void* data, int dataSize) {
  const std::unique_ptr<PlatformFont> font = LoadPlatformFontFromMemory(fontID, data, dataSize);
  if (!font || !LoadAPIFont(fontID, *font)) return false;
  CachePlatformFont(fontID, *font);
  return true;
}

} // namespace plugkit::igraphics
