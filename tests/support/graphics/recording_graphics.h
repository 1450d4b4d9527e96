#pragma once

#include "tests/support/graphics/null_graphics.h"

#include <string>
#include <vector>

namespace plugkit::igraphics::testing {

// One call that reached the back end, with what it carried. `transform` is
// the back end's transform when the call arrived.
struct DrawCall {
  std::string op;
  std::vector<float> args;
  IPattern pattern{IColor()};
  IStrokeOptions stroke;
  IFillOptions fill;
  IBlend blend;
  bool hasBlend = false;
  ITransform transform;
  IRect rect;
  std::string text;
  ITextStyle style;
  const APIBitmap* bitmap = nullptr;
};

// A back-end image that counts how many exist, so tests see leaks and
// double deletions. Its pixels start transparent.
class RecordingBitmap : public APIBitmap {
public:
  RecordingBitmap(int width, int height, float scale, float drawScale);
  ~RecordingBitmap() override;

  static int Live();
  std::vector<uint8_t> pixels;
};

// A graphics context that keeps every drawing call it receives: paths,
// fills, strokes, text, clip regions, transforms, layers and bitmaps. Text
// measures half its size per character wide and its size high, placed in
// the bounds by the style's alignment. Images load from any supported name
// at 8 x 8 pixels per scale step.
class RecordingGraphics : public NullGraphics {
public:
  using NullGraphics::NullGraphics;

  const std::vector<DrawCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // The calls with one of these names, in order.
  std::vector<DrawCall> CallsNamed(std::initializer_list<const char*> ops) const;
  std::vector<std::string> OpNames() const;

  void BeginFrame() override { Record("BeginFrame"); }
  void EndFrame() override { Record("EndFrame"); }
  void DrawBitmap(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY,
                  const IBlend* blend) override;
  bool BitmapExtSupported(const char* ext) override;
  void UpdateLayer() override;
  void GetLayerBitmapData(const ILayerPtr& layer, HeapBuffer& data) override;
  void ApplyShadowMask(ILayerPtr& layer, HeapBuffer& mask, const IShadow& shadow) override;
  void PathClear() override { Record("PathClear"); }
  void PathClose() override { Record("PathClose"); }
  void PathArc(float cx, float cy, float r, float a1, float a2, int winding) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathSetWinding(bool clockwise) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                  const IBlend* blend) override;
  void PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) override;
  void SetTransformMatrix(const ITransform& transform) override;
  void SetClipRegion(const IRect& r) override;
  std::unique_ptr<PlatformFont> LoadPlatformFontFromFile(const char* fontID,
                                                         const char* name) override;
  void CachePlatformFont(const char* fontID, const PlatformFont& font) override;
  std::unique_ptr<APIBitmap> LoadAPIBitmapFromData(const char* name, const void* data, int dataSize,
                                                   int scale) override;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* location, int scale, EResourceLocation where,
                                           const char* ext) override;
  std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                             bool cacheable) override;
  bool LoadAPIFont(const char* fontID, const PlatformFont& font) override;
  int AlphaChannelIndex() const override { return 3; }
  float DoMeasureText(const ITextStyle& style, const char* text, IRect& bounds) const override;
  void DoDrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                  const IBlend* blend) override;

  // Makes the back end refuse fonts.
  void SetRefuseFonts(bool refuse) { refuseFonts_ = refuse; }
  // The mask the last drop shadow composited.
  const std::vector<uint8_t>& LastShadowMask() const { return lastShadowMask_; }

private:
  DrawCall& Record(const char* op, std::initializer_list<float> args = {});

  std::vector<DrawCall> calls_;
  ITransform backendTransform_;
  bool refuseFonts_ = false;
  std::vector<uint8_t> lastShadowMask_;
};

} // namespace plugkit::igraphics::testing
