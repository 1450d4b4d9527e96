#include "framework/graphics/icontrol.h"

#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/igraphics.h"
#include "framework/graphics/popup_menu.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace plugkit::igraphics {

namespace {

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// A NaN on either side counts as a change.
bool Differs(double a, double b) { return std::isnan(a) || std::isnan(b) || a != b; }

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

} // namespace

IControl::IControl(const IRect& bounds, int paramIdx, ActionFunction action)
    : IControl(bounds, {paramIdx}, std::move(action)) {}

IControl::IControl(const IRect& bounds, std::initializer_list<int> paramIdxs, ActionFunction action)
    : rect_(bounds), targetRect_(bounds), actionFunc_(std::move(action)) {
  for (int paramIdx : paramIdxs) values_.push_back({paramIdx, 0.0});
}

IControl::~IControl() = default;

void IControl::OnMouseDown(float, float, const IMouseMod&) {}
void IControl::OnMouseUp(float, float, const IMouseMod&) {}
void IControl::OnMouseDrag(float, float, float, float, const IMouseMod&) {}

void IControl::OnMouseDblClick(float x, float y, const IMouseMod&) {
  SetValueToDefault(GetValIdxForPos(x, y));
}

void IControl::OnMouseWheel(float, float, const IMouseMod&, float) {}
bool IControl::OnKeyDown(float, float, const IKeyPress&) { return false; }
bool IControl::OnKeyUp(float, float, const IKeyPress&) { return false; }

void IControl::OnMouseOver(float, float, const IMouseMod&) {
  const bool wasOver = mouseIsOver_;
  mouseIsOver_ = true;
  if (!wasOver) SetDirty(false);
}

void IControl::OnMouseOut() {
  const bool wasOver = mouseIsOver_;
  mouseIsOver_ = false;
  if (wasOver) SetDirty(false);
}

void IControl::OnDrop(const char*) {}

void IControl::OnDropMultiple(const std::vector<const char*>& paths) {
  if (!paths.empty()) OnDrop(paths.front());
}

void IControl::OnRescale() {}
void IControl::OnResize() {}
void IControl::OnInit() {}
void IControl::OnAttached() {}
void IControl::OnMsgFromDelegate(int, int, const void*) {}
void IControl::OnMidi(const MidiMessage&) {}

bool IControl::OnGesture(const IGestureInfo& info) {
  const auto it = gestures_.find(info.type);
  if (it == gestures_.end()) return false;
  lastGesture_ = info.type;
  it->second(this, info);
  return true;
}

void IControl::CreateContextMenu(IPopupMenu&) {}

void IControl::OnPopupMenuSelection(IPopupMenu* selectedMenu, int valIdx) {
  if (!selectedMenu || valIdx < 0 || promptDisabled_) return;
  const IParam* param = GetParam(valIdx);
  if (!param) return;
  SetValueFromUserInput(param->NormalizeValue(selectedMenu->GetChosenItemIdx()), valIdx);
}

void IControl::OnTextEntryCompletion(const char*, int) {}
void IControl::OnContextSelection(int) {}

void IControl::DrawMarker(IGraphics& g) {
  if (showMarker_) g.FillCircle(markerColor_, rect_.R - 5.f, rect_.T + 5.f, 2.f);
}

void IControl::SetParamIdx(int paramIdx, int valIdx) {
  if (!ValidValIdx(valIdx)) return;
  values_[static_cast<size_t>(valIdx)].paramIdx = paramIdx;
  SetDirty(false);
}

int IControl::GetValIdxForPos(float, float) const { return NVals() == 1 ? 0 : -1; }

void IControl::SetValueFromDelegate(double value, int valIdx) {
  valIdx = NormalizeValIdx(valIdx);
  if (!ValidValIdx(valIdx) || (graphics_ && graphics_->ControlIsCaptured(this))) return;
  if (Differs(value, GetValue(valIdx))) {
    SetValue(value, valIdx);
    SetDirty(false);
  }
}

void IControl::SetValueFromUserInput(double value, int valIdx) {
  valIdx = NormalizeValIdx(valIdx);
  if (!ValidValIdx(valIdx)) return;
  if (Differs(value, GetValue(valIdx))) {
    SetValue(value, valIdx);
    SetDirty(true, valIdx);
  }
}

void IControl::SetValueToDefault(int valIdx) {
  valIdx = NormalizeValIdx(valIdx);
  if (valIdx < -1 || valIdx >= NVals()) return;
  for (int i = 0; i < NVals(); ++i) {
    if (valIdx >= 0 && i != valIdx) continue;
    if (const IParam* param = GetParam(i))
      SetValue(param->NormalizeValue(param->DefaultValue(false)), i);
  }
  SetDirty(true, valIdx);
}

void IControl::SetValue(double value, int valIdx) {
  if (ValidValIdx(valIdx)) values_[static_cast<size_t>(valIdx)].value = value;
}

void IControl::SetText(const ITextStyle& style) { text_ = style; }

void IControl::SetPosition(float x, float y) {
  x = std::max(0.f, x);
  y = std::max(0.f, y);
  const IRect oldRect = rect_;
  const IRect oldTarget = targetRect_;
  rect_ = {x, y, x + oldRect.W(), y + oldRect.H()};
  mouseIsOver_ = false;
  OnResize();
  const float dx = oldTarget.L - oldRect.L;
  const float dy = oldTarget.T - oldRect.T;
  targetRect_ = {rect_.L + dx, rect_.T + dy, rect_.L + dx + oldTarget.W(),
                 rect_.T + dy + oldTarget.H()};
  mouseIsOver_ = false;
}

void IControl::SetSize(float w, float h) {
  rect_ = targetRect_ = {rect_.L, rect_.T, rect_.L + std::max(0.f, w), rect_.T + std::max(0.f, h)};
  mouseIsOver_ = false;
  OnResize();
}

void IControl::Hide(bool hide) {
  hidden_ = hide;
  SetDirty(false);
}

void IControl::SetDisabled(bool disable) {
  disabled_ = disable;
  blend_.weight = disable ? kDisabledWeight : 1.f;
  SetDirty(false);
}

void IControl::SetIgnoreMouse(bool ignore) { ignoreMouse_ = ignore; }

bool IControl::IsHit(float x, float y) const {
  if (targetRect_.Empty()) return false;
  return x >= targetRect_.L && x < targetRect_.R && y >= targetRect_.T && y < targetRect_.B;
}

void IControl::SetDirty(bool triggerAction, int valIdx) {
  valIdx = NormalizeValIdx(valIdx);
  if (valIdx < -1 || valIdx >= NVals()) return;
  for (int i = 0; i < NVals(); ++i) {
    if (valIdx < 0 || i == valIdx) SetValue(Clamp01(GetValue(i)), i);
  }
  dirty_ = true;
  if (!triggerAction) return;
  for (int i = 0; i < NVals(); ++i) {
    if ((valIdx >= 0 && i != valIdx) || !GetParam(i)) continue;
    if (graphics_) {
      graphics_->SendParamValueFromUI(GetParamIdx(i), GetValue(i));
      graphics_->UpdatePeerControls(this, i);
    } else {
      delegate_->SetParamValueFromUI(GetParamIdx(i), GetValue(i));
    }
  }
  if (actionFunc_) actionFunc_(this);
}

void IControl::ClearDirty() { dirty_ = false; }

bool IControl::IsDirty() { return animationFunc_ ? true : dirty_; }

bool IControl::GetWantsGestures() const { return !gestures_.empty() && !animationFunc_; }

void IControl::SnapToMouse(float x, float y, int direction, const IRect& bounds, int valIdx,
                           double minClip, double maxClip) {
  x = std::clamp(x, bounds.L, bounds.R);
  y = std::clamp(y, bounds.T, bounds.B);
  double v = direction == 1 ? (x - bounds.L) / static_cast<double>(bounds.W())
                            : 1.0 - (y - bounds.T) / static_cast<double>(bounds.H());
  v = std::round(v / 0.001) * 0.001;
  v = std::clamp(v, minClip, maxClip);
  valIdx = NormalizeValIdx(valIdx);
  if (valIdx < -1 || valIdx >= NVals()) return;
  for (int i = 0; i < NVals(); ++i) {
    if (valIdx < 0 || i == valIdx) SetValue(v, i);
  }
  SetDirty(true, valIdx);
}

void IControl::OnEndAnimation() {
  animationFunc_ = nullptr;
  SetDirty(false);
  if (endAnimationFunc_) endAnimationFunc_(this);
}

int IControl::GetParamIdx(int valIdx) const {
  return ValidValIdx(valIdx) ? values_[static_cast<size_t>(valIdx)].paramIdx : -1;
}

double IControl::GetValue(int valIdx) const {
  return ValidValIdx(valIdx) ? values_[static_cast<size_t>(valIdx)].value : 0.0;
}

const IParam* IControl::GetParam(int valIdx) const {
  const int paramIdx = GetParamIdx(valIdx);
  if (paramIdx < 0 || !delegate_) return nullptr;
  return delegate_->GetParam(paramIdx);
}

int IControl::LinkedToParam(int paramIdx) const {
  for (int i = 0; i < NVals(); ++i) {
    if (values_[static_cast<size_t>(i)].paramIdx == paramIdx) return i;
  }
  return -1;
}

void IControl::SetValuesFromParams() {
  bool changed = false;
  for (int i = 0; i < NVals(); ++i) {
    const IParam* param = GetParam(i);
    if (!param) continue;
    const double value = param->NormalizeValue(param->Value());
    if (!Differs(value, GetValue(i))) continue;
    SetValue(value, i);
    changed = true;
  }
  if (changed) SetDirty(false);
}

void IControl::StartAnimation(double durationMs) {
  animationStartMs_ = NowMs();
  animationDurationMs_ = durationMs;
}

void IControl::SetAnimation(AnimationFunction func, double durationMs) {
  animationFunc_ = std::move(func);
  StartAnimation(durationMs);
}

double IControl::GetAnimationProgress() const {
  if (!animationFunc_) return 0.0;
  if (!(animationDurationMs_ > 0.0)) return 1.0;
  return (NowMs() - animationStartMs_) / animationDurationMs_;
}

void IControl::RunAnimation() {
  if (!animationFunc_) return;
  // The function may end or replace the animation while it runs, so it is
  // called through a copy.
  const AnimationFunction func = animationFunc_;
  func(this);
  if (animationFunc_ && GetAnimationProgress() >= 1.0) OnEndAnimation();
}

void IControl::AttachGestureHandler(int32_t gestureType, GestureFunction func) {
  gestures_[gestureType] = std::move(func);
}

} // namespace plugkit::igraphics
