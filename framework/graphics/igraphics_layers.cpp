#include "framework/graphics/igraphics.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace plugkit::igraphics {

namespace {

// A Gaussian kernel of integer weights whose width follows the blur size in
// device pixels.
struct BlurKernel {
  std::vector<int> weights;
  int divisor = 0;

  explicit BlurKernel(double pixels) {
    const double d = std::max(1.0, pixels + 1.0);
    const int taps = static_cast<int>(std::ceil(d));
    const double e = 4.5 / (d * d);
    for (int i = 0; i < taps; ++i)
      weights.push_back(static_cast<int>(std::round(255.0 * std::exp(-i * i * e))));
    divisor = weights[0];
    for (int i = 1; i < taps; ++i) divisor += 2 * weights[static_cast<size_t>(i)];
  }

  // Samples beyond the ends are left out; the divisor stays the same.
  void Blur(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) const {
    const int len = static_cast<int>(in.size());
    const int n = static_cast<int>(weights.size());
    out.resize(in.size());
    for (int j = 0; j < len; ++j) {
      int sum = 0;
      for (int k = -(n - 1); k <= n - 1; ++k) {
        if (j + k >= 0 && j + k < len)
          sum += weights[static_cast<size_t>(std::abs(k))] * in[static_cast<size_t>(j + k)];
      }
      out[static_cast<size_t>(j)] = static_cast<uint8_t>(std::min(255, sum / divisor));
    }
  }
};

} // namespace

void IGraphics::BeginLayer(IControl* control, const IRect& bounds, bool cacheable) {
  const float scale = GetTotalScale();
  const IRect aligned = bounds.GetAlignedOutward(scale, 0.f);
  const int pixelW = static_cast<int>(std::ceil(std::ceil(aligned.W()) * scale));
  const int pixelH = static_cast<int>(std::ceil(std::ceil(aligned.H()) * scale));
  auto bitmap = CreateAPIBitmap(pixelW, pixelH, screenScale_, drawScale_, cacheable);
  PushLayer(
      new ILayer(std::move(bitmap), aligned, control, control ? control->GetRECT() : IRect()));
}

void IGraphics::PushLayer(ILayer* layer) {
  layers_.push_back(layer);
  UpdateLayer();
  transform_ = ITransform();
  SetTransformMatrix(transform_);
  PathClipRegion(layer->Bounds());
  PathClear();
}

ILayer* IGraphics::PopLayer() {
  ILayer* layer = nullptr;
  if (!layers_.empty()) {
    layer = layers_.back();
    layers_.pop_back();
  }
  UpdateLayer();
  transform_ = ITransform();
  SetTransformMatrix(transform_);
  PathClipRegion(IRect());
  PathClear();
  return layer;
}

ILayerPtr IGraphics::FinishLayer() { return ILayerPtr(PopLayer()); }

void IGraphics::PathClipRegion(const IRect& r) {
  const IRect base = layers_.empty() ? drawClip_ : layers_.back()->Bounds();
  const IRect clip = r.Empty() ? base : r.Intersect(base);
  SetTransformMatrix(ITransform());
  SetClipRegion(clip);
  SetTransformMatrix(transform_);
}

void IGraphics::ApplyLayerDropShadow(ILayerPtr& layer, const IShadow& shadow) {
  if (!layer || !layer->GetAPIBitmap()) return;
  HeapBuffer pixels(4096);
  GetLayerBitmapData(layer, pixels);
  const APIBitmap& bitmap = *layer->GetAPIBitmap();
  const int w = bitmap.GetWidth();
  const int h = bitmap.GetHeight();
  if (w <= 0 || h <= 0 || pixels.Size() < w * h * 4) return;

  const bool flipped = IsBitmapFlipped();
  const int alpha = AlphaChannelIndex();
  const BlurKernel kernel(static_cast<double>(bitmap.GetDrawScale()) * bitmap.GetScale() *
                          shadow.blurSize);
  uint8_t* bytes = pixels.Data();
  auto at = [&](int x, int row) { return static_cast<size_t>((row * w + x) * 4 + alpha); };

  // Rows, read top row first, blurred into the columns of the scratch
  // buffer; then the columns blurred back into the alpha bytes.
  std::vector<uint8_t> scratch(static_cast<size_t>(w) * static_cast<size_t>(h));
  std::vector<uint8_t> line;
  std::vector<uint8_t> blurred;
  for (int y = 0; y < h; ++y) {
    const int row = flipped ? h - 1 - y : y;
    line.resize(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) line[static_cast<size_t>(x)] = bytes[at(x, row)];
    kernel.Blur(line, blurred);
    for (int x = 0; x < w; ++x)
      scratch[static_cast<size_t>(x * h + y)] = blurred[static_cast<size_t>(x)];
  }
  for (int x = 0; x < w; ++x) {
    line.assign(scratch.begin() + x * h, scratch.begin() + (x + 1) * h);
    kernel.Blur(line, blurred);
    for (int y = 0; y < h; ++y) bytes[at(x, y)] = blurred[static_cast<size_t>(y)];
  }
  ApplyShadowMask(layer, pixels, shadow);
}

} // namespace plugkit::igraphics
