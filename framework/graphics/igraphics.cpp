#include "framework/graphics/igraphics.h"

#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/image_caches.h"
#include "framework/graphics/text_entry_control.h"

namespace plugkit::igraphics {

IGraphics::IGraphics(IGEditorDelegate& delegate, int width, int height, int fps, float scale)
    : width_(width), height_(height), fps_(fps), drawScale_(scale), delegate_(delegate) {
  auto bitmapLock = GetBitmapCache().Lock();
  auto svgLock = GetSVGCache().Lock();
  GetBitmapCache().Retain();
  GetSVGCache().Retain();
}

IGraphics::~IGraphics() {
  // The window that could show the cursor again is gone by now.
  cursorHidden_ = false;
  RemoveAllControls();
  auto bitmapLock = GetBitmapCache().Lock();
  auto svgLock = GetSVGCache().Lock();
  GetBitmapCache().Release();
  GetSVGCache().Release();
  svgLock.unlock();
  bitmapLock.unlock();
}

void IGraphics::BeginFrame() {}

float IGraphics::GetPlatformWindowScale() const { return 1.f; }

void IGraphics::OnControlDrawn(const IRect&) {}

IControl* IGraphics::AttachControl(IControl* control, int ctrlTag, const char* group) {
  if (ctrlTag >= 0 && !ctrlTags_.emplace(ctrlTag, control).second) return nullptr;
  control->SetDelegate(delegate_);
  control->SetGraphics(this);
  control->OnInit();
  control->OnResize();
  control->OnRescale();
  control->SetGroup(group);
  const int before = controls_.Count();
  controls_.Add(control);
  if (controls_.Count() == before) {
    // The list could not grow: the caller keeps the control.
    if (ctrlTag >= 0) ctrlTags_.erase(ctrlTag);
    control->SetGraphics(nullptr);
    return nullptr;
  }
  control->OnAttached();
  return control;
}

void IGraphics::RemoveAllControls() {
  // A control still held by the mouse goes with its edits open: end them,
  // or the host is left inside a gesture that never finishes.
  ReleaseMouseCapture();
  mouseOver_ = nullptr;
  mouseOverIdx_ = -1;
  textEntryControl_.reset();
  inTextEntry_ = nullptr;
  cornerResizer_.reset();
  ctrlTags_.clear();
  controls_.DeleteAll();
}

IControl* IGraphics::FindControlByTag(int ctrlTag) const {
  const auto it = ctrlTags_.find(ctrlTag);
  return it == ctrlTags_.end() ? nullptr : it->second;
}

void IGraphics::ForAllControls(const ControlFunction& func) {
  for (int i = 0; i < controls_.Count(); ++i) func(*controls_.Get(i));
  if (cornerResizer_) func(*cornerResizer_);
  if (textEntryControl_) func(*textEntryControl_);
}

void IGraphics::SetAllControlsDirty() {
  ForAllControls([](IControl& c) { c.SetDirty(false, -1); });
}

void IGraphics::ClearAllControlsDirty() {
  ForAllControls([](IControl& c) { c.ClearDirty(); });
}

void IGraphics::UpdatePeerControls(IControl* caller, int callerValIdx) {
  const int paramIdx = caller->GetParamIdx(callerValIdx);
  if (paramIdx < 0) return;
  const double value = caller->GetValue(callerValIdx);
  ForAllControls([&](IControl& c) {
    if (&c == caller) return;
    const int valIdx = c.LinkedToParam(paramIdx);
    if (valIdx >= 0) c.SetValueFromDelegate(value, valIdx);
  });
}

void IGraphics::EnableTooltips(bool enable) {
  enableTooltips_ = enable;
  if (enable) enableMouseOver_ = true;
}

bool IGraphics::ControlIsCaptured(const IControl* control) const {
  for (const auto& entry : captureMap_) {
    if (entry.second == control) return true;
  }
  return false;
}

void IGraphics::BeginCaptureEdit(const IControl& control, int paramIdx) {
  for (const auto& [pointerId, captured] : captureMap_) {
    if (captured != &control) continue;
    if (ParamEditOpen(paramIdx)) return;
    openEdits_.push_back(paramIdx);
    pointerEdits_[pointerId].push_back(paramIdx);
    delegate_.BeginParamEditFromUI(paramIdx);
    return;
  }
}

void IGraphics::SetCapturedControl(int64_t pointerId, IControl* control) {
  captureMap_[pointerId] = control;
}

} // namespace plugkit::igraphics
