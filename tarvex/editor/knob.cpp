#include "framework/graphics/igraphics.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/drawing_helpers.h"
#include "tarvex/editor/param_controls.h"
#include "tarvex/editor/param_help.h"
#include "tarvex/editor/param_rules.h"
#include "tarvex/editor/param_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tarvex {

using plugkit::igraphics::EDirection;
using plugkit::igraphics::IPattern;

namespace {

constexpr float kSweepDegrees = 276.f;
constexpr float kStartDegrees = -138.f;
constexpr double kDegreesToRadians = 3.14159265358979323846 / 180.0;
const IColor kDisabledAccent{255, 91, 111, 115};
const IColor kBodyTop{255, 72, 87, 94};
const IColor kBodyBottom{255, 22, 32, 38};
const IColor kBodyRim{255, 87, 108, 115};
const IColor kBodyInner{255, 26, 35, 40};

enum Key : int {
  kKeyEnter = 13,
  kKeyHome = 36,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40
};

} // namespace

Knob::Knob(const IRect& bounds, int paramIdx, const char* label, EditorPlugin& plugin,
           std::shared_ptr<ViewState> view)
    : IKnobControlBase(bounds, paramIdx, EDirection::Vertical, kDefaultGearing),
      label_(label),
      plugin_(plugin),
      view_(std::move(view)) {
  SetHideCursorOnDrag(true);
  SetText(EditorTextStyle(16, kColorIvory, kAlignCentre));
  SetTooltip(ParamHelpText(paramIdx));
}

IRect Knob::ValueBox() const {
  const IRect& r = GetRECT();
  const float cx = (r.L + r.R) / 2;
  return IRect(cx - 60, r.B - 29, cx + 60, r.B - 3);
}

void Knob::OnMouseDown(float x, float y, const IMouseMod& mod) {
  if (IsDisabled()) return;
  view_->pendingConfirm = 0;
  view_->SetHelp(label_, ParamHelpText(GetParamIdx()));
  const IRect box = ValueBox();
  if (x >= box.L && x < box.R && y >= box.T && y < box.B && !mod.R) {
    PromptValueEntry();
    return;
  }
  IKnobControlBase::OnMouseDown(x, y, mod);
}

void Knob::OnMouseDblClick(float, float, const IMouseMod&) {
  if (!IsDisabled()) SetValueToDefault(-1);
}

bool Knob::OnKeyDown(float, float, const IKeyPress& key) {
  if (IsDisabled()) return false;
  int step = 0;
  switch (key.VK) {
    case kKeyEnter:
      PromptValueEntry();
      return true;
    case kKeyHome:
      SetValueToDefault(-1);
      return true;
    case kKeyLeft:
    case kKeyDown:
      step = -1;
      break;
    case kKeyUp:
    case kKeyRight:
      step = 1;
      break;
    default:
      return false;
  }
  const double value = GetValue() + step * (key.S ? 0.001 : 0.01);
  SetValueFromUserInput(std::clamp(value, 0.0, 1.0));
  return true;
}

void Knob::OnMouseOver(float x, float y, const IMouseMod& mod) {
  view_->SetHelp(label_, ParamHelpText(GetParamIdx()));
  IKnobControlBase::OnMouseOver(x, y, mod);
}

bool Knob::IsDirty() {
  const bool disabled = IsParamInactive(plugin_.Delegate(), GetParamIdx());
  if (disabled != IsDisabled()) SetDisabled(disabled);
  return IKnobControlBase::IsDirty();
}

void Knob::PromptValueEntry() {
  if (!GetUI() || !valueEntry_) return;
  char text[32];
  std::snprintf(text, sizeof text, "%.8g", PlainValue(plugin_.Delegate(), GetParamIdx()));
  GetUI()->CreateTextEntry(*valueEntry_, GetText(), ValueBox(), text, -1);
}

void Knob::ValueEntryCompletion(const char* text) {
  double value = 0.0;
  const plugkit::IParam* param = GetParam();
  if (param && ParseParamValue(GetParamIdx(), text, value)) {
    SetValueFromUserInput(param->NormalizeValue(value));
    return;
  }
  view_->SetHelp("VALID PHYSICAL VALUES",
                 "Enter a finite number with its displayed unit. Frequency accepts Hz/kHz; timing "
                 "accepts ms/s. Invalid input leaves the value unchanged.");
  if (GetUI()) GetUI()->SetAllControlsDirty();
}

void Knob::Draw(IGraphics& g) {
  const bool disabled = IsDisabled();
  const IColor& accent = disabled ? kDisabledAccent : kColorAmber;
  const IColor& textColor = disabled ? kColorSlate : kColorIvory;
  const IRect& r = GetRECT();
  DrawLabel(g, label_, IRect(r.L, r.T, r.R, r.T + 24), std::strlen(label_) < 13 ? 15.f : 13.f,
            textColor, kAlignCentre);

  const float h = r.B - r.T;
  const float cx = (r.L + r.R) / 2;
  const float cy = h >= 110 ? r.T + 57 : r.T + 49;
  const float radius = h >= 110 ? 27.f : 22.f;
  const float value = static_cast<float>(GetValue());
  const float angle = value * kSweepDegrees + kStartDegrees;
  g.DrawArc(kColorLine, cx, cy, radius + 5, kStartDegrees, -kStartDegrees, nullptr, 3.f);
  if (value > 0.f) g.DrawArc(accent, cx, cy, radius + 5, kStartDegrees, angle, nullptr, 3.f);

  g.PathClear();
  g.PathCircle(cx, cy, radius);
  g.PathFill(IPattern::CreateLinearGradient(cx, cy - radius, cx, cy + radius,
                                            {{kBodyTop, 0.f}, {kBodyBottom, 1.f}}));
  g.DrawCircle(kBodyRim, cx, cy, radius, nullptr, 1.f);
  g.DrawCircle(kBodyInner, cx, cy, radius - 5, nullptr, 1.f);

  const double a = angle * kDegreesToRadians;
  const float sinA = static_cast<float>(std::sin(a)), cosA = static_cast<float>(std::cos(a));
  g.DrawLine(accent, cx + 12 * sinA, cy - 12 * cosA, cx + 26 * sinA, cy - 26 * cosA, nullptr, 3.f);

  const IRect box = ValueBox();
  DrawBox(g, box, GetMouseIsOver() && !disabled ? kColorAmber : kColorLine);
  if (valueEntry_ && g.GetControlInTextEntry() == valueEntry_) return;
  char text[32];
  FormatParamValue(GetParamIdx(), PlainValue(plugin_.Delegate(), GetParamIdx()), text, sizeof text);
  DrawLabel(g, text, box, 16, textColor, kAlignCentre);
}

ValueEntry::ValueEntry(Completion completion)
    : IControl(IRect()), completion_(std::move(completion)) {
  SetIgnoreMouse(true);
}

void ValueEntry::OnTextEntryCompletion(const char* text, int) {
  if (completion_) completion_(text);
}

} // namespace tarvex
