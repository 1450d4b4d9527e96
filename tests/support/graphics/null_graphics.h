#pragma once

#include "framework/graphics/igraphics.h"
#include "tests/support/graphics/windowless_platform.h"

namespace plugkit::igraphics::testing {

// A graphics context without back end or window: every such operation
// answers its neutral value (nothing drawn, no window, no images, no fonts,
// zero-sized text). Tests drive the context's own logic through it.
class NullGraphics : public WindowlessPlatform<IGraphics> {
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

  void HideMouseCursor(bool hide, bool) override { SetCursorHidden(hide); }
  int SetMouseCursor(int cursorType) override;
  void* OpenWindow(void*) override { return nullptr; }
  bool WindowIsOpen() override { return false; }
  const char* GetPlatformAPIName() override { return "null"; }
  std::unique_ptr<PlatformFont> LoadPlatformFontFromMemory(const char*, const void*, int) override {
    return nullptr;
  }
  std::unique_ptr<PlatformFont> LoadPlatformFontFromFile(const char*, const char*) override {
    return nullptr;
  }
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
