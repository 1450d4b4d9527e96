#include "framework/graphics/igraphics.h"

#include <algorithm>

namespace plugkit::igraphics {

namespace {

// Keeps r inside p, one unit clear of p's right and bottom edges.
IRect Constrain(IRect r, const IRect& p) {
  if (r.L < p.L) {
    r.R = std::min(p.L + (r.R - r.L), p.R - 1.f);
    r.L = p.L;
  }
  if (r.T < p.T) {
    r.B = std::min(p.T + (r.B - r.T), p.B - 1.f);
    r.T = p.T;
  }
  if (r.R >= p.R) {
    r.L = std::max(r.L - (r.R - p.R + 1.f), p.L);
    r.R = p.R - 1.f;
  }
  if (r.B >= p.B) {
    r.T = std::max(r.T - (r.B - p.B + 1.f), p.T);
    r.B = p.B - 1.f;
  }
  return r;
}

} // namespace

bool IGraphics::IsDirty(IRectList& rects) {
  ForAllControls([](IControl& c) { c.RunAnimation(); });
  bool dirty = false;
  ForAllControls([&](IControl& c) {
    if (!c.IsDirty()) return;
    IRect r = c.GetRECT().GetPadded(kDirtyMargin);
    if (const IControl* parent = c.GetParent())
      r = Constrain(r, parent->GetRECT().GetPadded(kDirtyMargin));
    rects.Add(r);
    dirty = true;
  });
  return dirty;
}

void IGraphics::Draw(IRectList& rects) {
  if (rects.Size() == 0) return;
  const float scale = GetTotalScale();
  BeginFrame();
  for (int i = 0; i < rects.Size(); ++i) rects.Set(i, rects.Get(i).GetPixelAligned(scale));
  OptimiseRectList(rects);
  for (int i = 0; i < rects.Size(); ++i) {
    const IRect area = rects.Get(i);
    ForAllControls([&](IControl& c) { DrawControl(&c, area, scale); });
  }
  EndFrame();
}

void IGraphics::DrawControl(IControl* control, const IRect& dirtyBounds, float scale) {
  if (!control || (control->IsHidden() && control != GetControl(0))) return;
  // Aligned outward, an empty rectangle would still cover the pixels around
  // the origin, where a closed text entry would draw its stale text.
  if (control->GetRECT().Empty()) return;
  IRect clip = dirtyBounds.Intersect(control->GetRECT().GetAlignedOutward(scale, kDirtyMargin));
  if (clip.W() <= 0.f || clip.H() <= 0.f) return;
  for (const IControl* p = control->GetParent(); p; p = p->GetParent()) {
    const IRect parentClip = p->GetRECT().GetAlignedOutward(scale, kDirtyMargin);
    if (clip.Empty() || parentClip.Empty() || !clip.Intersects(parentClip)) return;
    clip = Constrain(clip, parentClip);
  }
  PathTransformReset(true);
  PathClear();
  SetClipRegion(clip);
  drawClip_ = clip;
  control->Draw(*this);
  OnControlDrawn(clip);
}

} // namespace plugkit::igraphics
