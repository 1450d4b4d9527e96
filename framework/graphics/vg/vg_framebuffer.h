#pragma once

#include <cstdint>
#include <memory>

#include "framework/graphics/vg/vg_gl_functions.h"

namespace plugkit {

struct VgContext;

// An offscreen render target: a renderer image as its colour attachment and
// a stencil renderbuffer for the renderer's stencil fills. The image is RGBA
// with FLIPY (GL's origin is the bottom row) and PREMULTIPLIED (what is drawn
// into it is premultiplied) added to the flags asked for.
struct VgFramebuffer {
  VgContext* context = nullptr;
  GLuint framebuffer = 0;
  GLuint stencilRenderbuffer = 0;
  GLuint texture = 0;
  int32_t image = -1; // -1 = none
};

// Null when the size is not positive, the image cannot be made, or the
// framebuffer cannot be completed with an 8-bit stencil nor with a packed
// 24-bit depth and 8-bit stencil buffer. The bound framebuffer and
// renderbuffer are left as they were.
VgFramebuffer* VgCreateFramebuffer(VgContext* ctx, int32_t width, int32_t height,
                                   int32_t imageFlags);

// Deletes the GL objects and the image, then the record; null is accepted.
void VgDeleteFramebuffer(VgFramebuffer* framebuffer);

struct VgFramebufferDeleter {
  void operator()(VgFramebuffer* framebuffer) const { VgDeleteFramebuffer(framebuffer); }
};
using VgFramebufferPtr = std::unique_ptr<VgFramebuffer, VgFramebufferDeleter>;

// Binds the framebuffer, or the window's own one for null. The window's
// framebuffer name is read once per process, on the first call, when the
// window's framebuffer is still the one bound.
void VgBindFramebuffer(const VgFramebuffer* framebuffer);

// Reads width x height pixels of the bound framebuffer from its bottom-left
// corner into `pixels` (width x height x 4 bytes): red, green, blue, alpha,
// rows from the bottom upward.
void VgReadPixels(int32_t width, int32_t height, uint8_t* pixels);

} // namespace plugkit
