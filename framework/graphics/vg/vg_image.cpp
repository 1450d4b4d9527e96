#include "framework/graphics/vg/vg_image.h"

#include "framework/graphics/vg/vg_context.h"

#include <stb_image.h>

namespace plugkit {

namespace {

int32_t CreateFromPixels(VgContext* ctx, int32_t imageFlags, uint8_t* pixels, int width,
                         int height) {
  if (pixels == nullptr) return 0;
  const int32_t image = ctx->callbacks.createTexture(ctx->callbacks.user, kVgTextureRgba, width,
                                                     height, imageFlags, pixels);
  stbi_image_free(pixels);
  return image;
}

} // namespace

int32_t VgCreateImageFromFile(VgContext* ctx, const char* path, int32_t imageFlags) {
  stbi_set_unpremultiply_on_load(1);
  stbi_convert_iphone_png_to_rgb(1);
  if (path == nullptr) return 0;
  int width = 0;
  int height = 0;
  int channels = 0;
  uint8_t* pixels = stbi_load(path, &width, &height, &channels, 4);
  return CreateFromPixels(ctx, imageFlags, pixels, width, height);
}

int32_t VgCreateImageFromMemory(VgContext* ctx, int32_t imageFlags, const uint8_t* bytes,
                                int32_t size) {
  if (bytes == nullptr || size <= 0) return 0;
  int width = 0;
  int height = 0;
  int channels = 0;
  uint8_t* pixels = stbi_load_from_memory(bytes, size, &width, &height, &channels, 4);
  return CreateFromPixels(ctx, imageFlags, pixels, width, height);
}

int32_t VgImageSize(VgContext* ctx, int32_t image, int32_t* width, int32_t* height) {
  return ctx->callbacks.getTextureSize(ctx->callbacks.user, image, width, height);
}

void VgDeleteImage(VgContext* ctx, int32_t image) {
  ctx->callbacks.deleteTexture(ctx->callbacks.user, image);
}

} // namespace plugkit
