#include "framework/graphics/vg/vg_image.h"

#include "framework/graphics/vg/vg_context.h"

#include <stb_image.h>

namespace plugkit {

namespace {

// The image is made at the size the header declares before any pixel is
// decoded, so that one too large for the back end costs no decoding.
// `decode` is stb_image's loader with four channels.
template <typename Decode>
int32_t CreateDecoded(VgContext* ctx, int32_t imageFlags, int declaredWidth, int declaredHeight,
                      Decode decode) {
  const int32_t image = ctx->callbacks.createTexture(
      ctx->callbacks.user, kVgTextureRgba, declaredWidth, declaredHeight, imageFlags, nullptr);
  if (image == 0) return 0;
  int width = 0;
  int height = 0;
  int channels = 0;
  uint8_t* pixels = decode(&width, &height, &channels);
  const bool filled =
      pixels != nullptr && width == declaredWidth && height == declaredHeight &&
      ctx->callbacks.updateTexture(ctx->callbacks.user, image, 0, 0, width, height, pixels) != 0;
  stbi_image_free(pixels);
  if (filled) return image;
  ctx->callbacks.deleteTexture(ctx->callbacks.user, image);
  return 0;
}

} // namespace

int32_t VgCreateImageFromFile(VgContext* ctx, const char* path, int32_t imageFlags) {
  stbi_set_unpremultiply_on_load(1);
  stbi_convert_iphone_png_to_rgb(1);
  if (path == nullptr) return 0;
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info(path, &width, &height, &channels)) return 0;
  return CreateDecoded(ctx, imageFlags, width, height,
                       [path](int* w, int* h, int* c) { return stbi_load(path, w, h, c, 4); });
}

int32_t VgCreateImageFromMemory(VgContext* ctx, int32_t imageFlags, const uint8_t* bytes,
                                int32_t size) {
  if (bytes == nullptr || size <= 0) return 0;
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info_from_memory(bytes, size, &width, &height, &channels)) return 0;
  return CreateDecoded(ctx, imageFlags, width, height, [bytes, size](int* w, int* h, int* c) {
    return stbi_load_from_memory(bytes, size, w, h, c, 4);
  });
}

int32_t VgImageSize(VgContext* ctx, int32_t image, int32_t* width, int32_t* height) {
  return ctx->callbacks.getTextureSize(ctx->callbacks.user, image, width, height);
}

void VgDeleteImage(VgContext* ctx, int32_t image) {
  ctx->callbacks.deleteTexture(ctx->callbacks.user, image);
}

} // namespace plugkit
