#include "tarvex/editor/param_rules.h"

#include "tarvex/engine/param_table.h"

namespace tarvex {

double PlainValue(const plugkit::IEditorDelegate& plugin, int paramIdx) {
  const plugkit::IParam* param = plugin.GetParam(paramIdx);
  return param ? param->Value() : 0.0;
}

bool IsParamInactive(const plugkit::IEditorDelegate& plugin, int paramIdx) {
  if (paramIdx < 0 || paramIdx >= kParamCount) return false;
  if (paramIdx < kGlobalParamCount) {
    const bool detectorOrBudget =
        paramIdx >= kParamSensitivity && paramIdx <= kParamCooldown && paramIdx != kParamAttack;
    return detectorOrBudget && static_cast<int>(PlainValue(plugin, kParamMode)) == 0;
  }
  const int slot = (paramIdx - kSlotParamBase) / kSlotFieldCount;
  const int field = (paramIdx - kSlotParamBase) % kSlotFieldCount;
  if (field == kSlotEnabled) return false;
  if (!(PlainValue(plugin, SlotParamIndex(slot, kSlotEnabled)) >= 0.5)) return true;
  if (field == kSlotThreshold || field == kSlotRelease)
    return !(PlainValue(plugin, SlotParamIndex(slot, kSlotDynamic)) >= 0.5);
  return false;
}

} // namespace tarvex
