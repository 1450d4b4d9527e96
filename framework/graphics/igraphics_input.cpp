#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/igraphics.h"
#include "framework/graphics/text_entry_control.h"

#include <algorithm>

namespace plugkit::igraphics {

IControl* IGraphics::GetMouseControl(float x, float y, bool capture, bool mouseOver,
                                     int64_t pointerId) {
  if (const auto it = captureMap_.find(pointerId); it != captureMap_.end()) return it->second;

  IControl* found = nullptr;
  int foundIdx = -1;
  if (textEntryControl_ && textEntryControl_->EditInProgress()) {
    found = textEntryControl_.get();
  } else if (cornerResizer_ && cornerResizer_->IsHit(x, y)) {
    found = cornerResizer_.get();
  } else if (!mouseOver || enableMouseOver_) {
    const int last = mouseOver ? 1 : 0;
    for (int i = controls_.Count() - 1; i >= last; --i) {
      IControl* c = controls_.Get(i);
      const bool allowedWhenDisabled =
          mouseOver ? c->GetMouseOverWhenDisabled() : c->GetMouseEventsWhenDisabled();
      if (c->IsHidden() || c->GetIgnoreMouse() || !c->IsHit(x, y) ||
          (c->IsDisabled() && !allowedWhenDisabled))
        continue;
      found = c;
      foundIdx = i;
      break;
    }
  }
  if (capture && found) captureMap_[pointerId] = found;
  if (mouseOver) mouseOverIdx_ = foundIdx;
  return found;
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key) {
  IControl* control = GetMouseControl(x, y, false);
  if (!control || control == GetControl(0)) return false;
  control->SetValuesFromParams();
  return control->OnKeyDown(x, y, key);
}

bool IGraphics::OnKeyUp(float x, float y, const IKeyPress& key) {
  IControl* control = GetMouseControl(x, y, false);
  return control && control != GetControl(0) && control->OnKeyUp(x, y, key);
}

void IGraphics::ReleaseMouseCapture() {
  for (const auto& entry : captureMap_) entry.second->SetValuesFromParams();
  captureMap_.clear();
  std::vector<int64_t> pointers;
  for (const auto& entry : pointerEdits_) pointers.push_back(entry.first);
  for (int64_t pointer : pointers) EndPointerEdits(pointer);
  if (cursorHidden_) HideMouseCursor(false, true);
}

void IGraphics::BeginPointerEdits(int64_t pointerId, IControl& control) {
  std::vector<int>& begun = pointerEdits_[pointerId];
  for (int v = 0; v < control.NVals(); ++v) {
    const int paramIdx = control.GetParamIdx(v);
    if (!control.GetParam(v) || ParamEditOpen(paramIdx)) continue;
    openEdits_.push_back(paramIdx);
    begun.push_back(paramIdx);
    delegate_.BeginParamEditFromUI(paramIdx);
  }
}

void IGraphics::EndPointerEdits(int64_t pointerId) {
  const auto it = pointerEdits_.find(pointerId);
  if (it == pointerEdits_.end()) return;
  const std::vector<int> begun = std::move(it->second);
  pointerEdits_.erase(it);
  for (int paramIdx : begun) {
    openEdits_.erase(std::find(openEdits_.begin(), openEdits_.end(), paramIdx));
    delegate_.EndParamEditFromUI(paramIdx);
  }
}

bool IGraphics::ParamEditOpen(int paramIdx) const {
  return std::find(openEdits_.begin(), openEdits_.end(), paramIdx) != openEdits_.end();
}

void IGraphics::SendParamValueFromUI(int paramIdx, double normalized) {
  if (ParamEditOpen(paramIdx)) {
    delegate_.SetParamValueFromUI(paramIdx, normalized);
    return;
  }
  delegate_.BeginParamEditFromUI(paramIdx);
  delegate_.SetParamValueFromUI(paramIdx, normalized);
  delegate_.EndParamEditFromUI(paramIdx);
}

void IGraphics::OnMouseDown(const std::vector<IMouseInfo>& points) {
  if (points.size() == 1) {
    mouseDownX_ = points[0].x;
    mouseDownY_ = points[0].y;
  }
  for (const IMouseInfo& p : points) {
    IControl* control = GetMouseControl(p.x, p.y, true, false, p.ms.touchID);
    if (!control) continue;
    const int valIdx = std::max(0, control->GetValIdxForPos(p.x, p.y));
    if (p.ms.R && control->GetParam(valIdx)) {
      ReleaseMouseCapture();
      OnContextMenu(control, p.x, p.y);
      return;
    }
    control->SetValuesFromParams();
    BeginPointerEdits(p.ms.touchID, *control);
    control->OnMouseDown(p.x, p.y, p.ms);
  }
}

void IGraphics::OnMouseUp(const std::vector<IMouseInfo>& points) {
  if (!captureMap_.empty()) {
    for (const IMouseInfo& p : points) {
      const auto it = captureMap_.find(p.ms.touchID);
      if (it == captureMap_.end()) continue;
      IControl* control = it->second;
      control->OnMouseUp(p.x, p.y, p.ms);
      control->SetValuesFromParams();
      EndPointerEdits(p.ms.touchID);
      captureMap_.erase(p.ms.touchID);
    }
  }
  if (resizing_) {
    resizing_ = false;
    if (resizerMode_ == EUIResizerMode::Size) {
      if (cornerResizer_) cornerResizer_->SetDirty(false);
    } else {
      ForAllControls([](IControl& c) { c.OnRescale(); });
      SetAllControlsDirty();
    }
  }
  if (points.size() == 1 && points[0].ms.touchID == 0) {
    const IMouseInfo& p = points[0];
    IControl* over = GetMouseControl(p.x, p.y, false, true);
    if (over != mouseOver_) {
      if (mouseOver_) mouseOver_->OnMouseOut();
      mouseOver_ = over;
    }
    if (over) over->OnMouseOver(p.x, p.y, p.ms);
  }
}

void IGraphics::OnMouseDrag(const std::vector<IMouseInfo>& points) {
  if (resizing_ && points.size() == 1) {
    const IMouseInfo& p = points[0];
    if (resizerMode_ == EUIResizerMode::Size) {
      Resize(static_cast<int>(p.x), static_cast<int>(p.y), drawScale_, true);
    } else {
      // The pointer arrives in editor units of the current scale and the
      // press was noted in those of the scale at the press: each times its
      // own scale is a window position. The scale at the press grows by
      // their ratio, so the grip stays under the pointer, and as the ratio
      // depends on the pointer alone, no drag event builds on the one before.
      const float start = resizeStartScale_;
      const float ratioX = p.x * drawScale_ / (mouseDownX_ * start);
      const float ratioY = p.y * drawScale_ / (mouseDownY_ * start);
      Resize(width_, height_, start * std::min(ratioX, ratioY), true);
    }
    return;
  }
  if (captureMap_.empty()) return;
  // The press that opened a text entry leaves its own control captured;
  // until the entry closes, only the entry follows the pointer.
  const bool entryOpen = inTextEntry_ != nullptr;
  for (const IMouseInfo& p : points) {
    const auto it = captureMap_.find(p.ms.touchID);
    if (it == captureMap_.end() || (p.dX == 0.f && p.dY == 0.f)) continue;
    if (entryOpen && it->second != textEntryControl_.get()) continue;
    it->second->OnMouseDrag(p.x, p.y, p.dX, p.dY, p.ms);
  }
}

void IGraphics::OnMouseCaptureLost(float x, float y) {
  if (captureMap_.count(0) > 0 || resizing_) {
    IMouseInfo release;
    release.x = x;
    release.y = y;
    OnMouseUp({release});
  }
  if (cursorHidden_) HideMouseCursor(false, true);
}

bool IGraphics::OnMouseDblClick(float x, float y, const IMouseMod& mod) {
  IControl* control = GetMouseControl(x, y, true, false, mod.touchID);
  if (!control) return false;
  if (control->GetMouseDblAsSingleClick()) {
    IMouseInfo p;
    p.x = x;
    p.y = y;
    p.ms = mod;
    OnMouseDown({p});
  } else {
    control->OnMouseDblClick(x, y, mod);
    ReleaseMouseCapture();
  }
  return true;
}

bool IGraphics::OnMouseOver(float x, float y, const IMouseMod& mod) {
  IControl* control = GetMouseControl(x, y, false, true);
  if (control != mouseOver_) {
    if (mouseOver_) mouseOver_->OnMouseOut();
    mouseOver_ = control;
  }
  if (control) control->OnMouseOver(x, y, mod);
  return control != nullptr;
}

void IGraphics::OnMouseOut() {
  SetMouseCursor(0);
  ForAllControls([](IControl& c) { c.OnMouseOut(); });
  mouseOver_ = nullptr;
  mouseOverIdx_ = -1;
}

bool IGraphics::OnMouseWheel(float x, float y, const IMouseMod& mod, float delta) {
  IControl* control = GetMouseControl(x, y, false);
  if (!control) return false;
  control->SetValuesFromParams();
  control->OnMouseWheel(x, y, mod, delta);
  return true;
}

void IGraphics::OnDrop(const char* path, float x, float y) {
  if (IControl* control = GetMouseControl(x, y, false)) control->OnDrop(path);
}

void IGraphics::OnDropMultiple(const std::vector<const char*>& paths, float x, float y) {
  if (IControl* control = GetMouseControl(x, y, false)) control->OnDropMultiple(paths);
}

void IGraphics::OnContextMenu(IControl* control, float x, float y) {
  const int paramIdx = control->GetParamIdx(std::max(0, control->GetValIdxForPos(x, y)));
  if (paramIdx >= 0 && delegate_.ShowHostContextMenuForParam(*control, paramIdx, x, y)) return;
  promptPopupMenu_.Clear(true);
  control->CreateContextMenu(promptPopupMenu_);
  if (promptPopupMenu_.NItems() > 0)
    DoCreatePopupMenu(*control, promptPopupMenu_, IRect(x, y, x, y), -1, true);
}

void IGraphics::AttachCornerResizer(EUIResizerMode sizeMode, bool layoutOnResize,
                                    const IColor& color, const IColor& mouseOverColor,
                                    const IColor& dragColor, float size) {
  if (cornerResizer_) return;
  resizerMode_ = sizeMode;
  layoutOnResize_ = layoutOnResize;
  cornerResizer_ = std::make_unique<ICornerResizerControl>(
      IRect(0.f, 0.f, static_cast<float>(width_), static_cast<float>(height_)), size, color,
      mouseOverColor, dragColor);
  cornerResizer_->SetDelegate(delegate_);
  cornerResizer_->SetGraphics(this);
  cornerResizer_->OnInit();
  cornerResizer_->OnResize();
  cornerResizer_->OnRescale();
}

void IGraphics::CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRect& bounds,
                                int valIdx) {
  DoCreatePopupMenu(control, menu, bounds, valIdx, false);
}

IPopupMenu* IGraphics::DoCreatePopupMenu(IControl& control, IPopupMenu& menu, const IRect& bounds,
                                         int valIdx, bool isContext) {
  // The menu is modal: the mouse-up that would end the click never comes,
  // so the click's edits end here and the choice makes an edit of its own.
  ReleaseMouseCapture();
  IPopupMenu* chosen = CreatePlatformPopupMenu(menu, bounds);
  if (isContext)
    control.OnContextSelection(chosen ? chosen->GetChosenItemIdx() : -1);
  else
    control.OnPopupMenuSelection(chosen && chosen->GetChosenItemIdx() >= 0 ? chosen : nullptr,
                                 valIdx);
  return chosen;
}

} // namespace plugkit::igraphics
