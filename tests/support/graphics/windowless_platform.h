#pragma once

#include <memory>

#include "framework/graphics/igraphics.h"

namespace plugkit::igraphics::testing {

// The platform services of a graphics context that has no window, for test
// contexts built on any drawing back end: every one answers its neutral
// value (no clipboard, no dialogs, no native controls, the mouse at 0, 0).
template <typename Base>
class WindowlessPlatform : public Base {
public:
  using Base::Base;

  void GetMouseLocation(float& x, float& y) const override { x = y = 0.f; }
  void MoveMouseCursor(float, float) override {}
  void RemovePlatformTextEntry() override {}
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  bool GetTextFromClipboard(StringBuffer&) override { return false; }
  bool SetTextInClipboard(const char*) override { return false; }
  bool SetFilePathInClipboard(const char*) override { return false; }
  bool InitiateExternalFileDragDrop(const char*) override { return false; }
  int ShowMessageBox(const char*, const char*, int, IGraphics::MsgBoxCompletion) override {
    return 0;
  }
  void PromptForFile(StringBuffer&, StringBuffer&, int, const char*,
                     IGraphics::FileCompletion) override {}
  void PromptForDirectory(StringBuffer&, IGraphics::FileCompletion) override {}
  bool PromptForColor(IColor&, const char*, IGraphics::ColorCompletion) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  bool RevealPathInExplorer(const char*, bool) override { return false; }
  void SetModuleHandle(void*) override {}
  void* GetModuleHandle() override { return nullptr; }
  std::unique_ptr<PlatformFont> LoadPlatformFontByName(const char*, const char*, int) override {
    return nullptr;
  }
  void CachePlatformFont(const char*, const PlatformFont&) override {}
  void ActivateGLContext() override {}
  void DeactivateGLContext() override {}
  void CreatePlatformTextEntry(int, const ITextStyle&, const IRect&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IRect&) override { return nullptr; }
  bool PlatformSupportsMultiTouch() const override { return false; }
  void PlatformResize(bool) override {}
};

} // namespace plugkit::igraphics::testing
