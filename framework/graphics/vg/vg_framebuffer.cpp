#include "framework/graphics/vg/vg_framebuffer.h"

#include <new>

#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_gl2_backend.h"

namespace plugkit {

namespace {

// The window's framebuffer name, shared by every editor of the process.
GLint windowFramebuffer = -1;

struct SavedBindings {
  GLint framebuffer = 0;
  GLint renderbuffer = 0;
};

SavedBindings SaveBindings() {
  SavedBindings saved;
  vgGl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &saved.framebuffer);
  vgGl.GetIntegerv(GL_RENDERBUFFER_BINDING, &saved.renderbuffer);
  return saved;
}

void RestoreBindings(const SavedBindings& saved) {
  vgGl.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(saved.framebuffer));
  vgGl.BindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(saved.renderbuffer));
}

bool Attach(const VgFramebuffer& target, GLenum stencilFormat, int32_t width, int32_t height) {
  vgGl.RenderbufferStorage(GL_RENDERBUFFER, stencilFormat, width, height);
  vgGl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.texture, 0);
  vgGl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                               target.stencilRenderbuffer);
  return vgGl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

} // namespace

VgFramebuffer* VgCreateFramebuffer(VgContext* ctx, int32_t width, int32_t height,
                                   int32_t imageFlags) {
  if (!ctx || width < 1 || height < 1) return nullptr;
  const SavedBindings saved = SaveBindings();
  auto* target = new (std::nothrow) VgFramebuffer;
  if (!target) return nullptr;
  target->context = ctx;
  const int32_t image =
      ctx->callbacks.createTexture(ctx->callbacks.user, kVgTextureRgba, width, height,
                                   imageFlags | kVgImageFlipY | kVgImagePremultiplied, nullptr);
  const VgGl2Texture* texture =
      image != 0 ? VgGl2FindTexture(static_cast<VgGl2Backend*>(ctx->callbacks.user), image)
                 : nullptr;
  if (!texture) {
    if (image != 0) ctx->callbacks.deleteTexture(ctx->callbacks.user, image);
    delete target;
    return nullptr;
  }
  target->image = image;
  target->texture = texture->texture;
  vgGl.GenFramebuffers(1, &target->framebuffer);
  vgGl.BindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
  vgGl.GenRenderbuffers(1, &target->stencilRenderbuffer);
  vgGl.BindRenderbuffer(GL_RENDERBUFFER, target->stencilRenderbuffer);
  // Some drivers complete a framebuffer only with a packed depth and stencil buffer.
  const bool complete = Attach(*target, GL_STENCIL_INDEX8, width, height) ||
                        Attach(*target, GL_DEPTH24_STENCIL8, width, height);
  RestoreBindings(saved);
  if (!complete) {
    VgDeleteFramebuffer(target);
    return nullptr;
  }
  return target;
}

void VgDeleteFramebuffer(VgFramebuffer* framebuffer) {
  if (!framebuffer) return;
  if (framebuffer->framebuffer != 0) vgGl.DeleteFramebuffers(1, &framebuffer->framebuffer);
  if (framebuffer->stencilRenderbuffer != 0) {
    vgGl.DeleteRenderbuffers(1, &framebuffer->stencilRenderbuffer);
  }
  if (framebuffer->image >= 0) {
    const VgBackendCallbacks& callbacks = framebuffer->context->callbacks;
    callbacks.deleteTexture(callbacks.user, framebuffer->image);
  }
  *framebuffer = VgFramebuffer{};
  delete framebuffer;
}

void VgBindFramebuffer(const VgFramebuffer* framebuffer) {
  if (windowFramebuffer < 0) vgGl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &windowFramebuffer);
  const GLint name = framebuffer ? static_cast<GLint>(framebuffer->framebuffer) : windowFramebuffer;
  vgGl.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(name));
}

void VgReadPixels(int32_t width, int32_t height, uint8_t* pixels) {
  vgGl.ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

} // namespace plugkit
