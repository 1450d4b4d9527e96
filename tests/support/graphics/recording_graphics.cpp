#include "tests/support/graphics/recording_graphics.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace plugkit::igraphics::testing {

namespace {

int liveBitmaps = 0;

int CodePoints(const char* text) {
  int count = 0;
  for (const char* p = text; *p; ++p) {
    if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) ++count;
  }
  return count;
}

void SetBlend(DrawCall& call, const IBlend* blend) {
  call.hasBlend = blend != nullptr;
  if (blend) call.blend = *blend;
}

} // namespace

RecordingBitmap::RecordingBitmap(int width, int height, float scale, float drawScale)
    : APIBitmap(0, width, height, scale, drawScale),
      pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4u, 0) {
  ++liveBitmaps;
}

RecordingBitmap::~RecordingBitmap() { --liveBitmaps; }

int RecordingBitmap::Live() { return liveBitmaps; }

std::vector<DrawCall> RecordingGraphics::CallsNamed(std::initializer_list<const char*> ops) const {
  std::vector<DrawCall> result;
  for (const DrawCall& call : calls_) {
    for (const char* op : ops) {
      if (call.op == op) result.push_back(call);
    }
  }
  return result;
}

std::vector<std::string> RecordingGraphics::OpNames() const {
  std::vector<std::string> names;
  for (const DrawCall& call : calls_) names.push_back(call.op);
  return names;
}

DrawCall& RecordingGraphics::Record(const char* op, std::initializer_list<float> args) {
  DrawCall call;
  call.op = op;
  call.args = args;
  call.transform = backendTransform_;
  calls_.push_back(std::move(call));
  return calls_.back();
}

void RecordingGraphics::DrawBitmap(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY,
                                   const IBlend* blend) {
  DrawCall& call = Record("DrawBitmap", {static_cast<float>(srcX), static_cast<float>(srcY)});
  call.rect = dest;
  call.bitmap = bitmap.GetAPIBitmap();
  SetBlend(call, blend);
}

bool RecordingGraphics::BitmapExtSupported(const char* ext) {
  std::string lower(ext ? ext : "");
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("png") != std::string::npos || lower.find("jpg") != std::string::npos;
}

void RecordingGraphics::UpdateLayer() { Record("UpdateLayer", {static_cast<float>(LayerDepth())}); }

void RecordingGraphics::GetLayerBitmapData(const ILayerPtr& layer, HeapBuffer& data) {
  const auto* bitmap = dynamic_cast<const RecordingBitmap*>(layer->GetAPIBitmap());
  if (!bitmap) return;
  const int size = static_cast<int>(bitmap->pixels.size());
  data.Resize(size, false);
  if (data.Size() == size && size > 0)
    std::memcpy(data.Data(), bitmap->pixels.data(), bitmap->pixels.size());
}

void RecordingGraphics::ApplyShadowMask(ILayerPtr&, HeapBuffer& mask, const IShadow& shadow) {
  Record("ApplyShadowMask").pattern = shadow.pattern;
  lastShadowMask_.assign(mask.Data(), mask.Data() + mask.Size());
}

void RecordingGraphics::PathArc(float cx, float cy, float r, float a1, float a2, int winding) {
  Record("PathArc", {cx, cy, r, a1, a2, static_cast<float>(winding)});
}

void RecordingGraphics::PathMoveTo(float x, float y) { Record("PathMoveTo", {x, y}); }

void RecordingGraphics::PathLineTo(float x, float y) { Record("PathLineTo", {x, y}); }

void RecordingGraphics::PathSetWinding(bool clockwise) {
  Record("PathSetWinding", {clockwise ? 1.f : 0.f});
}

void RecordingGraphics::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2,
                                          float y2) {
  Record("PathCubicBezierTo", {c1x, c1y, c2x, c2y, x2, y2});
}

void RecordingGraphics::PathQuadraticBezierTo(float cx, float cy, float x2, float y2) {
  Record("PathQuadraticBezierTo", {cx, cy, x2, y2});
}

void RecordingGraphics::PathStroke(const IPattern& pattern, float thickness,
                                   const IStrokeOptions& options, const IBlend* blend) {
  DrawCall& call = Record("PathStroke", {thickness});
  call.pattern = pattern;
  call.stroke = options;
  SetBlend(call, blend);
}

void RecordingGraphics::PathFill(const IPattern& pattern, const IFillOptions& options,
                                 const IBlend* blend) {
  DrawCall& call = Record("PathFill");
  call.pattern = pattern;
  call.fill = options;
  SetBlend(call, blend);
}

void RecordingGraphics::SetTransformMatrix(const ITransform& transform) {
  backendTransform_ = transform;
  Record("SetTransformMatrix");
}

void RecordingGraphics::SetClipRegion(const IRect& r) { Record("SetClipRegion").rect = r; }

std::unique_ptr<PlatformFont> RecordingGraphics::LoadPlatformFontFromFile(const char* fontID,
                                                                          const char* name) {
  Record("LoadPlatformFontFromFile").text = std::string(fontID) + ":" + name;
  if (!name || !*name) return nullptr;
  return std::make_unique<PlatformFont>();
}

void RecordingGraphics::CachePlatformFont(const char* fontID, const PlatformFont&) {
  Record("CachePlatformFont").text = fontID;
}

std::unique_ptr<APIBitmap> RecordingGraphics::LoadAPIBitmapFromData(const char* name,
                                                                    const void* data, int dataSize,
                                                                    int scale) {
  Record("LoadAPIBitmapFromData", {static_cast<float>(scale)}).text = name;
  if (!data || dataSize <= 0) return nullptr;
  return std::make_unique<RecordingBitmap>(8 * scale, 8 * scale, static_cast<float>(scale), 1.f);
}

std::unique_ptr<APIBitmap> RecordingGraphics::LoadAPIBitmap(const char* location, int scale,
                                                            EResourceLocation where, const char*) {
  Record("LoadAPIBitmap", {static_cast<float>(scale), static_cast<float>(where)}).text = location;
  return std::make_unique<RecordingBitmap>(8 * scale, 8 * scale, static_cast<float>(scale), 1.f);
}

std::unique_ptr<APIBitmap> RecordingGraphics::CreateAPIBitmap(int width, int height, float scale,
                                                              double drawScale, bool) {
  Record("CreateAPIBitmap", {static_cast<float>(width), static_cast<float>(height), scale,
                             static_cast<float>(drawScale)});
  return std::make_unique<RecordingBitmap>(width, height, scale, static_cast<float>(drawScale));
}

bool RecordingGraphics::LoadAPIFont(const char* fontID, const PlatformFont&) {
  Record("LoadAPIFont").text = fontID;
  return !refuseFonts_;
}

float RecordingGraphics::DoMeasureText(const ITextStyle& style, const char* text,
                                       IRect& bounds) const {
  const float w = 0.5f * style.size * static_cast<float>(CodePoints(text));
  const float h = style.size;
  const IRect given = bounds;
  float x = given.L;
  float y = given.T;
  if (style.align == EAlign::Center)
    x = given.MW() - w / 2.f;
  else if (style.align == EAlign::Far)
    x = given.R - w;
  if (style.valign == EVAlign::Middle)
    y = given.MH() - h / 2.f;
  else if (style.valign == EVAlign::Bottom)
    y = given.B - h;
  bounds = IRect(x, y, x + w, y + h);
  ApplyTextRotationOffset(style, given, bounds);
  return bounds.W();
}

void RecordingGraphics::DoDrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                                   const IBlend* blend) {
  DrawCall& call = Record("DoDrawText");
  call.style = style;
  call.text = text;
  call.rect = bounds;
  SetBlend(call, blend);
}

} // namespace plugkit::igraphics::testing
