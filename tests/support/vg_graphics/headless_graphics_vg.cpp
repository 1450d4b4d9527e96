#include "tests/support/vg_graphics/headless_graphics_vg.h"

#include "framework/core/resource_services.h"
#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/memory_font.h"

namespace plugkit::igraphics::testing {

HeadlessGraphicsVG::HeadlessGraphicsVG(IGEditorDelegate& delegate, int width, int height,
                                       float scale)
    : WindowlessPlatform<IGraphicsVG>(delegate, width, height, 60, scale),
      gl_(std::make_unique<testsupport::HeadlessGlContext>(WindowPixels(width, scale),
                                                           WindowPixels(height, scale))) {}

HeadlessGraphicsVG::~HeadlessGraphicsVG() {
  if (GetDrawContext()) ReleaseDrawContext();
}

bool HeadlessGraphicsVG::Open() {
  if (!gl_->Valid() || !InitDrawContext()) return false;
  RecreateBackingLayer();
  return GetBackingLayer() != nullptr;
}

void* HeadlessGraphicsVG::OpenWindow(void*) {
  if (!Open()) return nullptr;
  GetDelegate().LayoutEditor(this);
  GetDelegate().OnEditorOpened();
  return gl_.get();
}

bool HeadlessGraphicsVG::DrawDirty() {
  IRectList rects;
  if (!IsDirty(rects)) return false;
  ClearAllControlsDirty();
  Draw(rects);
  return true;
}

std::unique_ptr<PlatformFont> HeadlessGraphicsVG::LoadPlatformFontFromMemory(const char*,
                                                                             const void* data,
                                                                             int dataSize) {
  return MemoryFont::FromBytes(data, dataSize);
}

std::unique_ptr<PlatformFont> HeadlessGraphicsVG::LoadPlatformFontFromFile(
    const char*, const char* fileNameOrResID) {
  StringBuffer path;
  if (LocateResource(fileNameOrResID, "ttf", path, nullptr) == kResourceFile)
    return MemoryFont::FromFile(path.Get());
  if (fontFolder_.empty()) return nullptr;
  return MemoryFont::FromFile((fontFolder_ + "/" + fileNameOrResID).c_str());
}

} // namespace plugkit::igraphics::testing
