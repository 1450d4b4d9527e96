#include "tests/support/gl/headless_gl_context.h"

#include <EGL/eglext.h>

#include <cstdlib>
#include <vector>

namespace testsupport {

namespace {

using plugkit::vgGl;

// One EGL display for the whole process, initialised on first use and never
// terminated: terminating would end the contexts of other users of the
// display, and unloading Mesa's driver in the middle of a run leaves memory
// that leak checkers can no longer attribute to it.
EGLDisplay SharedDisplay() {
  static const EGLDisplay display = [] {
    // The same software rasteriser on every machine, GPU or not, so that
    // pixels compare alike everywhere (unless the caller chose otherwise).
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    EGLDisplay made =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (made == EGL_NO_DISPLAY || !eglInitialize(made, nullptr, nullptr)) return EGL_NO_DISPLAY;
    return made;
  }();
  return display;
}

void* LookUp(void*, const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

} // namespace

HeadlessGlContext::HeadlessGlContext(int width, int height) : width_(width), height_(height) {
  display_ = SharedDisplay();
  if (display_ == EGL_NO_DISPLAY) return;
  if (eglBindAPI(EGL_OPENGL_API)) {
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
  }
  if (context_ == EGL_NO_CONTEXT ||
      !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) ||
      !plugkit::VgLoadGlFunctions(LookUp, nullptr)) {
    return;
  }
  MakeFramebuffer();
}

HeadlessGlContext::~HeadlessGlContext() {
  if (display_ == EGL_NO_DISPLAY) return;
  if (context_ != EGL_NO_CONTEXT) {
    if (framebuffer_) vgGl.DeleteFramebuffers(1, &framebuffer_);
    if (colour_) vgGl.DeleteRenderbuffers(1, &colour_);
    if (depthStencil_) vgGl.DeleteRenderbuffers(1, &depthStencil_);
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
  }
}

void HeadlessGlContext::MakeFramebuffer() {
  vgGl.GenFramebuffers(1, &framebuffer_);
  vgGl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  vgGl.GenRenderbuffers(1, &colour_);
  vgGl.BindRenderbuffer(GL_RENDERBUFFER, colour_);
  vgGl.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
  vgGl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  vgGl.GenRenderbuffers(1, &depthStencil_);
  vgGl.BindRenderbuffer(GL_RENDERBUFFER, depthStencil_);
  vgGl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width_, height_);
  vgGl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                               depthStencil_);
  vgGl.BindRenderbuffer(GL_RENDERBUFFER, 0);
  valid_ = vgGl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  vgGl.Viewport(0, 0, width_, height_);
  vgGl.ClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  vgGl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

RgbaImage HeadlessGlContext::Read() const {
  GLint bound = 0;
  vgGl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  vgGl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  RgbaImage image = ReadBoundFramebuffer(width_, height_);
  vgGl.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
  return image;
}

RgbaImage ReadBoundFramebuffer(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  vgGl.ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return RgbaImage::FromBottomUp(width, height, pixels.data());
}

} // namespace testsupport
