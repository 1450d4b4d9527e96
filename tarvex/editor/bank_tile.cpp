#include "framework/graphics/igraphics.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/drawing_helpers.h"
#include "tarvex/editor/param_rules.h"
#include "tarvex/editor/param_text.h"
#include "tarvex/editor/slot_kind_style.h"

#include <cmath>
#include <cstdio>

namespace tarvex {

BankTile::BankTile(const IRect& bounds, int slot, EditorPlugin& plugin,
                   std::shared_ptr<ViewState> view)
    : IControl(bounds), slot_(slot), plugin_(plugin), view_(std::move(view)) {
  SetTooltip(
      "Select this stable filter slot. Type, effective cut and channel tag come from actual engine "
      "state; Manual settings remain independent of learned geometry.");
}

void BankTile::OnMouseDown(float, float, const IMouseMod&) {
  if (GetUI()) view_->SelectSlot(slot_, *GetUI());
}

bool BankTile::OnKeyDown(float x, float y, const IKeyPress& key) {
  if (!IsActivationKey(key)) return false;
  OnMouseDown(x, y, IMouseMod());
  return true;
}

bool BankTile::IsDirty() {
  SetDirty(false);
  return IControl::IsDirty();
}

void BankTile::Draw(IGraphics& g) {
  EngineSnapshot snapshot;
  plugin_.ReadSnapshot(snapshot);
  const int kind = snapshot.slotKind[slot_];
  const bool requested = PlainValue(plugin_.Delegate(), SlotParamIndex(slot_, kSlotEnabled)) >= 0.5;
  const bool selected = view_->selectedSlot == slot_;
  const IRect& r = GetRECT();
  DrawPanelFrame(g, r, selected, GetMouseIsOver());

  char text[32];
  std::snprintf(text, sizeof text, "%02d", slot_ + 1);
  DrawLabel(g, text, IRect(r.L + 7, r.T, r.L + 27, r.B), 11, selected ? kColorIvory : kColorSlate,
            kAlignLeft);

  if (kind == kSlotEmpty) {
    g.FillCircle(requested ? kColorAmber : kColorLine, r.L + 35, (r.T + r.B) / 2, 3.f, nullptr);
    DrawLabel(g, requested ? "ARMED" : "OFF", IRect(r.L + 42, r.T, r.L + 92, r.B), 10,
              KindColor(kind), kAlignLeft);
    DrawLabel(g, requested ? "REQUESTED" : "AVAILABLE", IRect(r.L + 90, r.T, r.R - 6, r.B), 9,
              kColorSlate, kAlignRight);
    return;
  }
  const IColor& color = KindColor(kind);
  g.FillCircle(color, r.L + 35, (r.T + r.B) / 2, 3.f, nullptr);
  DrawLabel(g, KindText(kind), IRect(r.L + 42, r.T, r.L + 92, r.B), 10, color, kAlignLeft);
  const float f = std::isfinite(snapshot.slotFrequency[slot_]) ? snapshot.slotFrequency[slot_] : 0;
  // The unit follows the shown number: 999.6 Hz reads "1.0k", not "1000Hz".
  if (ShownValue(f, 0) >= 1000.0)
    std::snprintf(text, sizeof text, "%.1fk", f / 1000.0);
  else
    std::snprintf(text, sizeof text, "%.0fHz", static_cast<double>(f));
  DrawLabel(g, text, IRect(r.L + 88, r.T, r.L + 136, r.B), 10, kColorIvory, kAlignRight);
  const float depth = snapshot.slotDepth[slot_];
  std::snprintf(text, sizeof text, "-%.1f",
                std::isfinite(depth) && depth > 0.f ? static_cast<double>(depth) : 0.0);
  DrawLabel(g, text, IRect(r.L + 138, r.T, r.R - 5, r.B), 10, color, kAlignRight);
}

} // namespace tarvex
