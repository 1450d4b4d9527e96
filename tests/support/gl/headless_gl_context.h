#pragma once

#include <EGL/egl.h>

#include "framework/graphics/vg/vg_gl_functions.h"
#include "tests/support/gl/rgba_image.h"

namespace testsupport {

// An OpenGL context without any window or X server (Mesa's surfaceless EGL
// platform), current on the calling thread for the object's life, with the
// renderer's GL entry points loaded. It stands in for an editor window: its
// own framebuffer of the given size (colour plus packed depth and stencil,
// like the window's pixel format) is bound on construction and serves as
// the window's framebuffer.
class HeadlessGlContext {
public:
  HeadlessGlContext(int width, int height);
  ~HeadlessGlContext();
  HeadlessGlContext(const HeadlessGlContext&) = delete;
  HeadlessGlContext& operator=(const HeadlessGlContext&) = delete;

  // False when no context could be made; tests skip then.
  bool Valid() const { return valid_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  GLuint Framebuffer() const { return framebuffer_; }

  // The window framebuffer's pixels; the binding is left as it was.
  RgbaImage Read() const;

private:
  void MakeFramebuffer();

  int width_;
  int height_;
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint framebuffer_ = 0;
  GLuint colour_ = 0;
  GLuint depthStencil_ = 0;
  bool valid_ = false;
};

// Pixels of the bound framebuffer, from its bottom-left corner.
RgbaImage ReadBoundFramebuffer(int width, int height);

} // namespace testsupport
