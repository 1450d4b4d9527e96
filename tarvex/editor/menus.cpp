#include "framework/core/string_buffer.h"
#include "framework/graphics/igraphics.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/drawing_helpers.h"
#include "tarvex/editor/param_controls.h"
#include "tarvex/editor/param_help.h"
#include "tarvex/editor/param_rules.h"
#include "tarvex/engine/factory_presets.h"

namespace tarvex {

using plugkit::igraphics::IPopupMenu;

namespace {

void DrawChevron(IGraphics& g, const IRect& box, const IColor& color) {
  const float m = (box.T + box.B) / 2;
  const float r = box.R;
  g.DrawLine(color, r - 18, m - 3, r - 13, m + 2, nullptr, 1.f);
  g.DrawLine(color, r - 13, m + 2, r - 8, m - 3, nullptr, 1.f);
}

} // namespace

EnumMenu::EnumMenu(const IRect& bounds, int paramIdx, const char* label, EditorPlugin& plugin,
                   std::shared_ptr<ViewState> view)
    : IControl(bounds, paramIdx), label_(label), plugin_(plugin), view_(std::move(view)) {
  SetText(EditorTextStyle(15, kColorIvory, kAlignLeft));
  SetTooltip(ParamHelpText(paramIdx));
}

IRect EnumMenu::ValueBox() const {
  const IRect& r = GetRECT();
  return label_ ? IRect(r.L + 12, r.T + 39, r.R - 12, r.T + 91) : r;
}

void EnumMenu::SetParamHelp() {
  view_->SetHelp(ParamSpecAt(GetParamIdx()).name, ParamHelpText(GetParamIdx()));
}

void EnumMenu::OnMouseDown(float, float, const IMouseMod&) {
  const plugkit::IParam* param = GetParam();
  if (IsDisabled() || !param || !GetUI()) return;
  view_->pendingConfirm = 0;
  SetParamHelp();
  menu_.Clear(true);
  menu_.SetRootTitle(ParamSpecAt(GetParamIdx()).name);
  const int current = static_cast<int>(param->Value());
  for (int v = static_cast<int>(param->Min()); v <= static_cast<int>(param->Max()); ++v)
    menu_.AddItem(ParamValueText(GetParamIdx(), v),
                  v == current ? IPopupMenu::Item::kChecked : IPopupMenu::Item::kNoFlags, -1);
  GetUI()->CreatePopupMenu(*this, menu_, ValueBox(), 0);
}

void EnumMenu::OnPopupMenuSelection(IPopupMenu* menu, int) {
  const plugkit::IParam* param = GetParam();
  if (!menu || menu->GetChosenItemIdx() < 0 || !param) return;
  SetValueFromUserInput(param->NormalizeValue(param->Min() + menu->GetChosenItemIdx()));
  if (GetUI()) GetUI()->SetAllControlsDirty();
}

void EnumMenu::OnMouseDblClick(float, float, const IMouseMod&) {
  if (!IsDisabled()) SetValueToDefault(-1);
}

bool EnumMenu::OnKeyDown(float x, float y, const IKeyPress& key) {
  if (IsDisabled() || !IsActivationKey(key)) return false;
  OnMouseDown(x, y, IMouseMod());
  return true;
}

void EnumMenu::OnMouseOver(float x, float y, const IMouseMod& mod) {
  SetParamHelp();
  IControl::OnMouseOver(x, y, mod);
}

bool EnumMenu::IsDirty() {
  const bool disabled = IsParamInactive(plugin_.Delegate(), GetParamIdx());
  if (disabled != IsDisabled()) SetDisabled(disabled);
  return IControl::IsDirty();
}

void EnumMenu::Draw(IGraphics& g) {
  const IRect& r = GetRECT();
  if (label_) DrawLabel(g, label_, IRect(r.L, r.T, r.R, r.T + 24), 15, kColorIvory, kAlignCentre);
  const IRect box = ValueBox();
  DrawBox(g, box, GetMouseIsOver() && !IsDisabled() ? kColorAmber : kColorLine);
  if (const plugkit::IParam* param = GetParam()) {
    plugkit::StringBuffer text;
    param->FormatDisplay(param->Value(), false, text, true);
    // A long value text shrinks rather than run under the chevron.
    const IRect textRect(box.L + 12, box.T, box.R - 24, box.B);
    DrawLabel(g, text.Get(), textRect, FittedTextSize(g, text.Get(), 15, textRect.W()),
              IsDisabled() ? kColorSlate : kColorIvory, kAlignLeft);
  }
  DrawChevron(g, box, kColorTeal);
}

PresetMenu::PresetMenu(const IRect& bounds, EditorPlugin& plugin, std::shared_ptr<ViewState> view)
    : IControl(bounds), plugin_(plugin), view_(std::move(view)) {
  for (const FactoryPreset& preset : FactoryPresets())
    menu_.AddItem(preset.name, IPopupMenu::Item::kNoFlags, -1);
  SetTooltip(
      "16 starting points. Presets never start learning. A/B retains stored controls and "
      "learned bank.");
}

void PresetMenu::OnMouseDown(float, float, const IMouseMod&) {
  view_->pendingConfirm = 0;
  if (GetUI()) GetUI()->CreatePopupMenu(*this, menu_, GetRECT(), 0);
}

bool PresetMenu::OnKeyDown(float x, float y, const IKeyPress& key) {
  if (!IsActivationKey(key)) return false;
  OnMouseDown(x, y, IMouseMod());
  return true;
}

void PresetMenu::OnMouseOver(float x, float y, const IMouseMod& mod) {
  view_->SetHelp("16 FACTORY STARTING POINTS",
                 "Presets choose conservative manual or assisted starting points. Learn mode "
                 "requires the explicit LEARN button; presets never start learning.");
  IControl::OnMouseOver(x, y, mod);
}

void PresetMenu::OnPopupMenuSelection(IPopupMenu* menu, int) {
  if (!menu || menu->GetChosenItemIdx() < 0) return;
  plugin_.LoadFactoryPreset(menu->GetChosenItemIdx());
  if (GetUI()) GetUI()->SetAllControlsDirty();
}

bool PresetMenu::IsDirty() {
  const int index = plugin_.FindMatchingFactoryPreset();
  if (index != matching_) {
    matching_ = index;
    SetDirty(false);
  }
  return IControl::IsDirty();
}

void PresetMenu::Draw(IGraphics& g) {
  DrawBox(g, GetRECT(), GetMouseIsOver() ? kColorAmber : kColorLine);
  const bool known = matching_ >= 0 && matching_ < kFactoryPresetCount;
  DrawLabel(g, known ? FactoryPresets()[matching_].name : "Custom", IRect(761, 40, 988, 82), 15,
            kColorIvory, kAlignLeft);
  g.DrawLine(kColorAmber, 993, 57, 999, 63, nullptr, 1.f);
  g.DrawLine(kColorAmber, 999, 63, 1005, 57, nullptr, 1.f);
}

} // namespace tarvex
