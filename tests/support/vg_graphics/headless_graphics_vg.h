#pragma once

#include "framework/graphics/vg/igraphics_vg.h"
#include "tests/support/gl/headless_gl_context.h"

#include <memory>
#include <string>

namespace plugkit::igraphics::testing {

// The drawing back end on a headless GL context instead of a window: the
// context's own framebuffer stands in for the window's. Fonts are read from
// their files; every other platform service answers its neutral value.
class HeadlessGraphicsVG : public IGraphicsVG {
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

  void GetMouseLocation(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  int SetMouseCursor(int) override { return 0; }
  void RemovePlatformTextEntry() override {}
  // As a window does: the renderer, then the delegate's layout; null when
  // no renderer can be made.
  void* OpenWindow(void*) override;
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  bool WindowIsOpen() override { return true; }
  bool GetTextFromClipboard(StringBuffer&) override { return false; }
  bool SetTextInClipboard(const char*) override { return false; }
  bool SetFilePathInClipboard(const char*) override { return false; }
  bool InitiateExternalFileDragDrop(const char*) override { return false; }
  int ShowMessageBox(const char*, const char*, int, MsgBoxCompletion) override { return 0; }
  void PromptForFile(StringBuffer&, StringBuffer&, int, const char*, FileCompletion) override {}
  void PromptForDirectory(StringBuffer&, FileCompletion) override {}
  bool PromptForColor(IColor&, const char*, ColorCompletion) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  const char* GetPlatformAPIName() override { return "headless"; }
  bool RevealPathInExplorer(const char*, bool) override { return false; }
  void SetModuleHandle(void*) override {}
  void* GetModuleHandle() override { return nullptr; }
  std::unique_ptr<PlatformFont> LoadPlatformFontByName(const char*, const char*, int) override {
    return nullptr;
  }
  std::unique_ptr<PlatformFont> LoadPlatformFontFromMemory(const char* fontID, const void* data,
                                                           int dataSize) override;
  std::unique_ptr<PlatformFont> LoadPlatformFontFromFile(const char* fontID,
                                                         const char* fileNameOrResID) override;
  void CachePlatformFont(const char*, const PlatformFont&) override {}
  void ActivateGLContext() override {}
  void DeactivateGLContext() override {}
  void CreatePlatformTextEntry(int, const ITextStyle&, const IRect&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IRect&) override { return nullptr; }
  bool PlatformSupportsMultiTouch() const override { return false; }
  void PlatformResize(bool) override {}

private:
  std::unique_ptr<testsupport::HeadlessGlContext> gl_;
  std::string fontFolder_;
};

} // namespace plugkit::igraphics::testing
