#include "framework/graphics/igraphics.h"

#include <vector>

namespace plugkit::igraphics {

namespace {

// r without its part x (x lies inside r), as up to four bands: above x,
// below x, then left and right of x within x's rows.
std::vector<IRect> Remainder(const IRect& r, const IRect& x) {
  std::vector<IRect> pieces;
  if (x.T > r.T) pieces.push_back({r.L, r.T, r.R, x.T});
  if (x.B < r.B) pieces.push_back({r.L, x.B, r.R, r.B});
  if (x.L > r.L) pieces.push_back({r.L, x.T, x.L, x.B});
  if (x.R < r.R) pieces.push_back({x.R, x.T, r.R, x.B});
  return pieces;
}

bool SamePieces(const std::vector<IRect>& a, const std::vector<IRect>& b) {
  if (a.size() != b.size()) return false;
  for (const IRect& piece : a) {
    bool found = false;
    for (const IRect& other : b) found = found || piece == other;
    if (!found) return false;
  }
  return true;
}

// Cuts x out of r by keeping its edge strip on the side x does not reach.
IRect Shrink(const IRect& r, const IRect& x) {
  if (x.L != r.L) return {r.L, r.T, x.L, r.B};
  if (x.T != r.T) return {r.L, r.T, r.R, x.T};
  if (x.R != r.R) return {x.R, r.T, r.R, r.B};
  return {r.L, x.B, r.R, r.B};
}

// Cuts x out of r in two pieces: {replacement, appended}.
std::vector<IRect> Split(const IRect& r, const IRect& x) {
  if (x.L == r.L && x.T == r.T) return {{r.L, x.B, r.R, r.B}, {x.R, r.T, r.R, x.B}};
  if (x.L == r.L) return {{x.R, x.T, r.R, r.B}, {r.L, r.T, r.R, x.T}};
  if (x.T == r.T) return {{r.L, x.B, r.R, r.B}, {r.L, r.T, x.L, x.B}};
  return {{r.L, x.T, x.L, r.B}, {r.L, r.T, r.R, x.T}};
}

// Replaces entry idx (which holds r) by r without x. The short cuts above
// describe the remainder only when x lies along r's edges in the right way;
// where they would drop part of r, the full remainder is used instead, so
// no dirty area is ever lost.
void CutOut(IRectList& rects, int idx, const IRect& r, const IRect& x,
            const std::vector<IRect>& quick) {
  const std::vector<IRect> exact = Remainder(r, x);
  const std::vector<IRect>& pieces = exact.empty() || SamePieces(quick, exact) ? quick : exact;
  rects.Set(idx, pieces.front());
  for (size_t k = 1; k < pieces.size(); ++k) rects.Add(pieces[k]);
}

bool Overlap(const IRect& a, const IRect& b) {
  return !a.Empty() && !b.Empty() && b.L <= a.R && a.L < b.R && b.T <= a.B && a.T < b.B;
}

} // namespace

void IGraphics::OptimiseRectList(IRectList& rects) {
  for (int i = 0; i < rects.Size(); ++i) {
    for (int j = i + 1; j < rects.Size();) {
      const IRect a = rects.Get(i);
      const IRect b = rects.Get(j);
      if (a.Contains(b)) {
        rects.Remove(j);
        continue;
      }
      if (b.Contains(a)) {
        rects.Remove(i);
        j = i + 1;
        continue;
      }
      if (Overlap(a, b)) {
        const IRect x = a.Intersect(b);
        if (a.Mergeable(x))
          CutOut(rects, i, a, x, {Shrink(a, x)});
        else if (b.Mergeable(x))
          CutOut(rects, j, b, x, {Shrink(b, x)});
        else if (b.Area() <= a.Area())
          CutOut(rects, j, b, x, Split(b, x));
        else
          CutOut(rects, i, a, x, Split(a, x));
      }
      ++j;
    }
  }

  for (int i = 0; i < rects.Size(); ++i) {
    for (int j = i + 1; j < rects.Size(); ++j) {
      if (rects.Get(i).Mergeable(rects.Get(j))) {
        rects.Set(j, rects.Get(i).Union(rects.Get(j)));
        rects.Remove(i);
        i = -1;
        break;
      }
    }
  }
}

} // namespace plugkit::igraphics
