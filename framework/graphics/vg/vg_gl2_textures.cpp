#include "framework/graphics/vg/vg_gl2_backend.h"

namespace plugkit {

namespace {

constexpr int kMinimumTextureSlots = 4;
// GL keeps a few error flags at most; a lost context may report errors without end.
constexpr int kMaxGlErrorReads = 16;

VgGl2Backend* Backend(void* user) { return static_cast<VgGl2Backend*>(user); }

GLenum PixelFormat(int32_t type) { return type == kVgTextureRgba ? GL_RGBA : GL_LUMINANCE; }

// Source rows are the texture's width apart and start at (x, y).
void SetUnpackWindow(GLint rowLength, GLint x, GLint y) {
  vgGl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  vgGl.PixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
  vgGl.PixelStorei(GL_UNPACK_SKIP_PIXELS, x);
  vgGl.PixelStorei(GL_UNPACK_SKIP_ROWS, y);
}

void ResetUnpackWindow() {
  vgGl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
  vgGl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  vgGl.PixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  vgGl.PixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

GLint MinFilter(int32_t flags) {
  const bool mipmaps = (flags & kVgImageGenerateMipmaps) != 0;
  if (flags & kVgImageNearest) return mipmaps ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
  return mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
}

// Reads every pending error flag, so that none is left for the next caller.
bool GlErrorRaised() {
  bool raised = false;
  for (int i = 0; i < kMaxGlErrorReads && vgGl.GetError() != GL_NO_ERROR; ++i) raised = true;
  return raised;
}

bool FitsTextureLimit(int32_t width, int32_t height) {
  GLint maxSize = 0;
  vgGl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  return width <= maxSize && height <= maxSize;
}

VgGl2Texture* AllocTexture(VgGl2Backend* backend) {
  VgGl2Array<VgGl2Texture>& textures = backend->textures;
  VgGl2Texture* slot = nullptr;
  for (int i = 0; i < textures.Count() && !slot; ++i) {
    if (textures[i].id == 0) slot = &textures[i];
  }
  if (!slot) {
    if (!textures.Reserve(1, kMinimumTextureSlots)) return nullptr;
    slot = &textures[textures.Append(1)];
  }
  *slot = VgGl2Texture{};
  slot->id = ++backend->textureIdCounter;
  return slot;
}

} // namespace

VgGl2Texture* VgGl2FindTexture(VgGl2Backend* backend, int32_t image) {
  if (image == 0) return nullptr;
  for (int i = 0; i < backend->textures.Count(); ++i) {
    if (backend->textures[i].id == image) return &backend->textures[i];
  }
  return nullptr;
}

void VgGl2BindTexture(VgGl2Backend* backend, GLuint texture) {
  if (backend->cache.boundTexture == texture) return;
  backend->cache.boundTexture = texture;
  vgGl.BindTexture(GL_TEXTURE_2D, texture);
}

int32_t VgGl2CreateTexture(void* user, int32_t type, int32_t width, int32_t height,
                           int32_t imageFlags, const uint8_t* data) {
  VgGl2Backend* backend = Backend(user);
  if (width < 1 || height < 1 || (type != kVgTextureAlpha && type != kVgTextureRgba)) return 0;
  if (!FitsTextureLimit(width, height)) return 0;
  VgGl2Texture* texture = AllocTexture(backend);
  if (!texture) return 0;
  // An error raised before this call is not this texture's.
  GlErrorRaised();
  vgGl.GenTextures(1, &texture->texture);
  texture->width = width;
  texture->height = height;
  texture->type = type;
  texture->flags = imageFlags;
  VgGl2BindTexture(backend, texture->texture);
  SetUnpackWindow(width, 0, 0);
  if (imageFlags & kVgImageGenerateMipmaps) {
    vgGl.TexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 1);
  }
  const GLenum format = PixelFormat(type);
  vgGl.TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
                  GL_UNSIGNED_BYTE, data);
  vgGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, MinFilter(imageFlags));
  vgGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                     (imageFlags & kVgImageNearest) ? GL_NEAREST : GL_LINEAR);
  vgGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                     (imageFlags & kVgImageRepeatX) ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  vgGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                     (imageFlags & kVgImageRepeatY) ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  ResetUnpackWindow();
  VgGl2BindTexture(backend, 0);
  // A texture without storage (out of memory) would sample as opaque black.
  if (GlErrorRaised()) {
    vgGl.DeleteTextures(1, &texture->texture);
    *texture = VgGl2Texture{};
    return 0;
  }
  return texture->id;
}

int32_t VgGl2DeleteTexture(void* user, int32_t image) {
  VgGl2Backend* backend = Backend(user);
  VgGl2Texture* texture = VgGl2FindTexture(backend, image);
  if (!texture) return 0;
  if (texture->texture != 0 && !(texture->flags & kVgImageDoNotDelete)) {
    vgGl.DeleteTextures(1, &texture->texture);
    // GL unbinds a deleted texture, and may give its name to the next one.
    if (backend->cache.boundTexture == texture->texture) backend->cache.boundTexture = 0;
  }
  *texture = VgGl2Texture{};
  return 1;
}

int32_t VgGl2UpdateTexture(void* user, int32_t image, int32_t x, int32_t y, int32_t width,
                           int32_t height, const uint8_t* data) {
  VgGl2Backend* backend = Backend(user);
  VgGl2Texture* texture = VgGl2FindTexture(backend, image);
  if (!texture || !data) return 0;
  // The source is the whole image, so a rectangle reaching outside the
  // texture would also read outside the caller's pixels.
  if (x < 0 || y < 0 || width < 0 || height < 0 || width > texture->width - x ||
      height > texture->height - y) {
    return 0;
  }
  VgGl2BindTexture(backend, texture->texture);
  SetUnpackWindow(texture->width, x, y);
  vgGl.TexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, PixelFormat(texture->type),
                     GL_UNSIGNED_BYTE, data);
  ResetUnpackWindow();
  VgGl2BindTexture(backend, 0);
  return 1;
}

int32_t VgGl2GetTextureSize(void* user, int32_t image, int32_t* width, int32_t* height) {
  const VgGl2Texture* texture = VgGl2FindTexture(Backend(user), image);
  if (!texture) return 0;
  *width = texture->width;
  *height = texture->height;
  return 1;
}

} // namespace plugkit
