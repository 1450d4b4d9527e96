#pragma once

#include "framework/graphics/igraphics.h"

namespace plugkit::igraphics::testing {

// A graphics context without back end or window: every such operation
// answers its neutral value (nothing drawn, no window, no images, no fonts,
// zero-sized text). Tests drive the context's own logic through it.
class NullGraphics : public IGraphics {
public:
  NullGraphics(IGEditorDelegate& delegate, int width, int height, int fps = 60, float scale = 1.f);
  ~NullGraphics() override;

  void* InitDrawContext() override { return nullptr; }
  void ReleaseDrawContext() override {}
  void EndFrame() override {}
  void DrawBitmap(const IBitmap&, const IRect&, int, int, const IBlend*) override {}
  void DrawDottedLine(const IColor&, float, float, float, float, const IBlend*, float,
                      float) override {}
  void DrawDottedRect(const IColor&, const IRect&, const IBlend*, float, float) override {}
  IColor GetConstantColor() const override { return IColor(); }
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingAPIName() override { return "null"; }
  bool BitmapExtSupported(const char*) override { return false; }
  void DrawFastDropShadow(const IRect&, const IRect&, float, float, float, const IBlend*) override {
  }
  void GetLayerBitmapData(const ILayerPtr&, HeapBuffer&) override {}
  void ApplyShadowMask(ILayerPtr&, HeapBuffer&, const IShadow&) override {}
  void UpdateLayer() override {}
  void PathClear() override {}
  void PathClose() override {}
  void PathArc(float, float, float, float, float, int) override {}
  void PathMoveTo(float, float) override {}
  void PathLineTo(float, float) override {}
  void PathSetWinding(bool) override {}
  void PathCubicBezierTo(float, float, float, float, float, float) override {}
  void PathQuadraticBezierTo(float, float, float, float) override {}
  void PathStroke(const IPattern&, float, const IStrokeOptions&, const IBlend*) override {}
  void PathFill(const IPattern&, const IFillOptions&, const IBlend*) override {}
  void SetTransformMatrix(const ITransform&) override {}
  void SetClipRegion(const IRect&) override {}

  void GetMouseLocation(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool hide, bool) override { SetCursorHidden(hide); }
  void MoveMouseCursor(float, float) override {}
  int SetMouseCursor(int cursorType) override;
  void RemovePlatformTextEntry() override {}
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  bool WindowIsOpen() override { return false; }
  bool GetTextFromClipboard(StringBuffer&) override { return false; }
  bool SetTextInClipboard(const char*) override { return false; }
  bool SetFilePathInClipboard(const char*) override { return false; }
  bool InitiateExternalFileDragDrop(const char*) override { return false; }
  int ShowMessageBox(const char*, const char*, int, MsgBoxCompletion) override { return 0; }
  void PromptForFile(StringBuffer&, StringBuffer&, int, const char*, FileCompletion) override {}
  void PromptForDirectory(StringBuffer&, FileCompletion) override {}
  bool PromptForColor(IColor&, const char*, ColorCompletion) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  const char* GetPlatformAPIName() override { return "null"; }
  bool RevealPathInExplorer(const char*, bool) override { return false; }
  void SetModuleHandle(void*) override {}
  void* GetModuleHandle() override { return nullptr; }
  std::unique_ptr<PlatformFont> LoadPlatformFontByName(const char*, const char*, int) override {
    return nullptr;
  }
  std::unique_ptr<PlatformFont> LoadPlatformFontFromMemory(const char*, const void*, int) override {
    return nullptr;
  }
  std::unique_ptr<PlatformFont> LoadPlatformFontFromFile(const char*, const char*) override {
    return nullptr;
  }
  void CachePlatformFont(const char*, const PlatformFont&) override {}
  void ActivateGLContext() override {}
  void DeactivateGLContext() override {}
  void CreatePlatformTextEntry(int, const ITextStyle&, const IRect&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IRect&) override { return nullptr; }
  bool PlatformSupportsMultiTouch() const override { return false; }
  void PlatformResize(bool) override {}
  void RecreateBackingLayer() override {}
  std::unique_ptr<APIBitmap> LoadAPIBitmapFromData(const char*, const void*, int, int) override {
    return nullptr;
  }
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char*, int, EResourceLocation,
                                           const char*) override {
    return nullptr;
  }
  std::unique_ptr<APIBitmap> CreateAPIBitmap(int, int, float, double, bool) override {
    return nullptr;
  }
  bool LoadAPIFont(const char*, const PlatformFont&) override { return false; }
  int AlphaChannelIndex() const override { return 0; }
  bool IsBitmapFlipped() const override { return false; }
  float DoMeasureText(const ITextStyle&, const char*, IRect& bounds) const override;
  void DoDrawText(const ITextStyle&, const char*, const IRect&, const IBlend*) override {}

  // What the input dispatch and the size and scale code set in a running
  // editor, for tests of the parts that read them.
  void CaptureControl(IControl* control, int64_t pointerId = 0) {
    SetCapturedControl(pointerId, control);
  }
  void SetScales(float screenScale, float drawScale) {
    SetScreenScaleValue(screenScale);
    SetDrawScaleValue(drawScale);
  }
  bool IsCursorHidden() const { return CursorHidden(); }
};

} // namespace plugkit::igraphics::testing
