#include "framework/graphics/vg/igraphics_vg.h"

#include "framework/core/resource_services.h"
#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_draw.h"
#include "framework/graphics/vg/vg_image.h"
#include "framework/graphics/vg/vg_transform.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace plugkit::igraphics {

void IGraphicsVG::DrawBitmap(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY,
                             const IBlend* blend) {
  const APIBitmap* api = bitmap.GetAPIBitmap();
  if (!context_ || !api) return;
  VgBeginPath(context_);
  VgRect(context_, dest.L, dest.T, dest.W(), dest.H());
  VgState* state = VgGetState(context_);
  VgPaint paint;
  const float s = 1.f / (api->GetScale() * api->GetDrawScale());
  const float xform[6] = {
      s, 0.f, 0.f, s, dest.L - static_cast<float>(srcX), dest.T - static_cast<float>(srcY)};
  std::copy(xform, xform + 6, paint.xform);
  paint.extent[0] = static_cast<float>(bitmap.W()) * api->GetScale();
  paint.extent[1] = static_cast<float>(bitmap.H()) * api->GetScale();
  paint.radius = 0.f;
  paint.feather = 0.f;
  paint.innerColor = paint.outerColor = VgColor{1.f, 1.f, 1.f, BlendWeight(blend)};
  paint.image = api->GetHandle();
  VgTransformMultiply(paint.xform, state->xform);
  state->fill = paint;
  SetBlendMode(blend);
  VgFill(context_);
  ResetBlend();
  VgBeginPath(context_);
}

bool IGraphicsVG::BitmapExtSupported(const char* ext) {
  if (!ext) return false;
  char lower[32] = {};
  const size_t length = std::min(std::strlen(ext), sizeof(lower) - 1);
  for (size_t i = 0; i < length; ++i)
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(ext[i])));
  return std::strstr(lower, "png") || std::strstr(lower, "jpg") || std::strstr(lower, "jpeg");
}

IBitmap IGraphicsVG::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal,
                                int targetScale) {
  const int scale = targetScale ? targetScale : static_cast<int>(std::ceil(GetScreenScale()));
  auto lock = bitmapCache_.Lock();
  if (APIBitmap* cached = bitmapCache_.Find(name, scale))
    return IBitmap(cached, nStates, framesAreHorizontal, name);
  const char* dot = std::strrchr(name, '.');
  const char* ext = dot ? dot + 1 : name;
  StringBuffer location;
  int foundScale = 0;
  const EResourceLocation where = SearchImageResource(name, ext, location, scale, foundScale);
  if (where == EResourceLocation::NotFound || !BitmapExtSupported(ext)) return IBitmap();
  // An image found only at another scale is cached under the scale it has.
  if (APIBitmap* cached = bitmapCache_.Find(name, foundScale))
    return IBitmap(cached, nStates, framesAreHorizontal, name);
  std::unique_ptr<APIBitmap> loaded = LoadAPIBitmap(location.Get(), foundScale, where, ext);
  // An image that would not decode stays out of the cache, so that a
  // repaired file is read again.
  if (loaded->GetHandle() == 0) return IBitmap();
  APIBitmap* bitmap = loaded.get();
  bitmapCache_.Add(std::move(loaded), name, foundScale);
  return IBitmap(bitmap, nStates, framesAreHorizontal, name);
}

std::unique_ptr<APIBitmap> IGraphicsVG::LoadAPIBitmap(const char* fileNameOrResID, int scale,
                                                      EResourceLocation location, const char* ext) {
  int32_t image = 0;
  if (context_ && location == EResourceLocation::FilePath) {
    ActivateGLContext();
    image = VgCreateImageFromFile(context_, fileNameOrResID, 0);
    DeactivateGLContext();
  } else if (context_ && location == EResourceLocation::WinResource) {
    int size = 0;
    const void* bytes = LoadWinResource(fileNameOrResID, ext, size, GetModuleHandle());
    if (bytes) {
      ActivateGLContext();
      image = VgCreateImageFromMemory(context_, 0, static_cast<const uint8_t*>(bytes), size);
      DeactivateGLContext();
    }
  }
  return std::make_unique<Bitmap>(context_, static_cast<float>(scale), image, false);
}

std::unique_ptr<APIBitmap> IGraphicsVG::LoadAPIBitmapFromData(const char* name, const void* data,
                                                              int dataSize, int scale) {
  auto lock = bitmapCache_.Lock();
  APIBitmap* cached = bitmapCache_.Find(name, scale);
  if (!cached) {
    int32_t image = 0;
    if (context_ && data && dataSize > 0) {
      ActivateGLContext();
      image = VgCreateImageFromMemory(context_, 0, static_cast<const uint8_t*>(data), dataSize);
      DeactivateGLContext();
    }
    if (image == 0) return nullptr;
    auto decoded = std::make_unique<Bitmap>(context_, static_cast<float>(scale), image, false);
    cached = decoded.get();
    bitmapCache_.Add(std::move(decoded), name, scale);
  }
  return std::make_unique<Bitmap>(context_, cached->GetScale(), cached->GetHandle(), true);
}

} // namespace plugkit::igraphics
