#pragma once

#include "framework/core/heap_buffer.h"

namespace plugkit::igraphics {

// A rectangle in editor units. The all-zero rectangle is "empty" and every
// operation treats it specially; reversed edges are kept as given.
struct IRect {
  float L = 0.f;
  float T = 0.f;
  float R = 0.f;
  float B = 0.f;

  constexpr IRect() = default;
  constexpr IRect(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }
  float W() const { return R - L; }
  float H() const { return B - T; }
  float MW() const { return 0.5f * (L + R); }
  float MH() const { return 0.5f * (T + B); }
  float Area() const { return W() * H(); }

  bool Contains(float x, float y) const;
  bool Contains(const IRect& b) const;
  // Not symmetric at touching edges: a rectangle whose right edge equals
  // b's left edge intersects b, but not the other way round. The frame loop
  // depends on this exact form.
  bool Intersects(const IRect& b) const;
  IRect Intersect(const IRect& b) const;
  IRect Union(const IRect& b) const;
  bool Mergeable(const IRect& b) const;
  IRect GetPadded(float d) const { return {L - d, T - d, R + d, B + d}; }
  IRect GetPixelAligned(float scale) const;
  // Grown by `margin`, then each edge pushed outward onto the device-pixel
  // grid at `scale`.
  IRect GetAlignedOutward(float scale, float margin) const;
  IRect GetTranslated(float dx, float dy) const { return {L + dx, T + dy, R + dx, B + dy}; }

  bool operator==(const IRect& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRect& o) const { return !(*this == o); }
};

// A growable list of rectangles; a failed growth leaves the list as it was.
class IRectList {
public:
  IRectList() : buffer_(4096) {}

  void Add(const IRect& r);
  int Size() const { return buffer_.Size() / static_cast<int>(sizeof(IRect)); }
  const IRect& Get(int i) const { return Rects()[i]; }
  void Set(int i, const IRect& r) { Rects()[i] = r; }
  void Remove(int i);
  void Clear() { buffer_.Resize(0, false); }

private:
  IRect* Rects() const;

  HeapBuffer buffer_;
};

} // namespace plugkit::igraphics
