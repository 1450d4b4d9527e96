#include "framework/graphics/irect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plugkit::igraphics {

bool IRect::Contains(float x, float y) const {
  return !Empty() && x >= L && x < R && y >= T && y < B;
}

bool IRect::Contains(const IRect& b) const {
  if (Empty() || b.Empty()) return false;
  return b.L >= L && b.R <= R && b.T >= T && b.B <= B;
}

bool IRect::Intersects(const IRect& b) const {
  if (Empty() || b.Empty()) return false;
  return R >= b.L && b.R > L && B >= b.T && b.B > T;
}

IRect IRect::Intersect(const IRect& b) const {
  if (!Intersects(b)) return {};
  return {std::max(L, b.L), std::max(T, b.T), std::min(R, b.R), std::min(B, b.B)};
}

IRect IRect::Union(const IRect& b) const {
  if (Empty()) return b;
  if (b.Empty()) return *this;
  return {std::min(L, b.L), std::min(T, b.T), std::max(R, b.R), std::max(B, b.B)};
}

bool IRect::Mergeable(const IRect& b) const {
  if (Empty() || b.Empty()) return true;
  if (L == b.L && R == b.R && ((T >= b.T && T <= b.B) || (b.T >= T && b.T <= B))) return true;
  return T == b.T && B == b.B && ((L >= b.L && L <= b.R) || (b.L >= L && b.L <= R));
}

IRect IRect::GetPixelAligned(float scale) const { return GetAlignedOutward(scale, 0.f); }

IRect IRect::GetAlignedOutward(float scale, float margin) const {
  const auto k = static_cast<float>(1.0 / static_cast<double>(scale));
  auto down = [&](float v) { return std::floor(static_cast<float>((v - margin) * scale)) * k; };
  auto up = [&](float v) { return std::ceil(static_cast<float>((v + margin) * scale)) * k; };
  return {down(L), down(T), up(R), up(B)};
}

void IRectList::Add(const IRect& r) {
  const int count = Size();
  const int wanted = (count + 1) * static_cast<int>(sizeof(IRect));
  buffer_.Resize(wanted, false);
  if (buffer_.Size() == wanted) Rects()[count] = r;
}

void IRectList::Remove(int i) {
  const int count = Size();
  if (i < 0 || i >= count) return;
  std::memmove(Rects() + i, Rects() + i + 1, sizeof(IRect) * static_cast<size_t>(count - i - 1));
  buffer_.Resize((count - 1) * static_cast<int>(sizeof(IRect)), false);
}

IRect* IRectList::Rects() const {
  return reinterpret_cast<IRect*>(const_cast<uint8_t*>(buffer_.Data()));
}

} // namespace plugkit::igraphics
