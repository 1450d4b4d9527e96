#pragma once

#include "framework/graphics/vg/igraphics_vg.h"
#include "tests/support/gl/headless_gl_context.h"
#include "tests/support/graphics/windowless_platform.h"

#include <memory>
#include <string>

namespace plugkit::igraphics::testing {

// The drawing back end on a headless GL context instead of a window: the
// context's own framebuffer stands in for the window's. Fonts are read from
// their files; every other platform service answers its neutral value.
class HeadlessGraphicsVG : public WindowlessPlatform<IGraphicsVG> {
public:
  // A context whose window is the editor's size at the given draw scale.
  HeadlessGraphicsVG(IGEditorDelegate& delegate, int width, int height, float scale = 1.f);
  ~HeadlessGraphicsVG() override;

  // Makes the renderer and the backing layer; false when either is missing.
  bool Open();
  // Where fonts named by a bare file name are looked for when the name is
  // not found as it stands (as a module's embedded resource would be).
  void SetFontFolder(const std::string& folder) { fontFolder_ = folder; }
  // Draws whatever is dirty, as the display tick and the window's paint do;
  // false when nothing was.
  bool DrawDirty();
  // The window's pixels, top row first.
  testsupport::RgbaImage ReadWindow() const { return gl_->Read(); }
  bool GlValid() const { return gl_->Valid(); }

  void HideMouseCursor(bool, bool) override {}
  int SetMouseCursor(int) override { return 0; }
  // As a window does: the renderer, then the delegate's layout; null when
  // no renderer can be made.
  void* OpenWindow(void*) override;
  bool WindowIsOpen() override { return true; }
  const char* GetPlatformAPIName() override { return "headless"; }
  std::unique_ptr<PlatformFont> LoadPlatformFontFromMemory(const char* fontID, const void* data,
                                                           int dataSize) override;
  std::unique_ptr<PlatformFont> LoadPlatformFontFromFile(const char* fontID,
                                                         const char* fileNameOrResID) override;

private:
  std::unique_ptr<testsupport::HeadlessGlContext> gl_;
  std::string fontFolder_;
};

} // namespace plugkit::igraphics::testing
