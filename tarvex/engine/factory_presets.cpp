#include "tarvex/engine/factory_presets.h"

namespace tarvex {
namespace {

struct SlotRun {
  int count;
  float depth;
  float q;
  bool dynamic;
};

void SetSlot(ParamValues& v, int slot, int field, float value) {
  v[SlotParamIndex(slot, field)] = value;
}

void EnableSlotRun(ParamValues& v, const SlotRun& run) {
  float frequency = 300.0f;
  for (int slot = 0; slot < run.count; ++slot, frequency *= 3.0f) {
    SetSlot(v, slot, kSlotEnabled, 1.0f);
    SetSlot(v, slot, kSlotFrequency, frequency);
    SetSlot(v, slot, kSlotDepth, run.depth);
    SetSlot(v, slot, kSlotQ, run.q);
    SetSlot(v, slot, kSlotDynamic, run.dynamic ? 1.0f : 0.0f);
  }
}

void ManualCut(ParamValues& v, float frequency) {
  SetSlot(v, 0, kSlotEnabled, 1.0f);
  SetSlot(v, 0, kSlotFrequency, frequency);
}

std::array<FactoryPreset, kFactoryPresetCount> BuildPresets() {
  static const char* const kNames[kFactoryPresetCount] = {
      "Neutral Manual",           "Conservative Speech Assist",
      "Fast Monitor Assist",      "Musical Monitor Assist",
      "Deliberate Ringout",       "Low Mid Assist",
      "High Presence Assist",     "Dual Monitor Assist",
      "Manual 100Hz Cut",         "Manual 250Hz Cut",
      "Manual 1kHz Cut",          "Manual 3kHz Cut",
      "Dynamic Vocal Resonances", "Narrow Instrument Resonances",
      "Broad Gentle Cuts",        "Four Manual Notches"};
  std::array<FactoryPreset, kFactoryPresetCount> presets{};
  for (int i = 0; i < kFactoryPresetCount; ++i) {
    presets[i].name = kNames[i];
    presets[i].values = DefaultParamValues();
  }
  ParamValues* v[kFactoryPresetCount];
  for (int i = 0; i < kFactoryPresetCount; ++i) v[i] = &presets[i].values;

  (*v[1])[kParamMode] = static_cast<float>(Mode::kLiveAssist);
  (*v[1])[kParamPersistence] = 900;
  (*v[1])[kParamAutoDepth] = 9;

  (*v[2])[kParamMode] = static_cast<float>(Mode::kLiveAssist);
  (*v[2])[kParamPersistence] = 200;
  (*v[2])[kParamGrowth] = 3;
  (*v[2])[kParamAutoDepth] = 18;

  (*v[3])[kParamMode] = static_cast<float>(Mode::kLiveAssist);
  (*v[3])[kParamPersistence] = 1200;
  (*v[3])[kParamProminence] = 18;
  (*v[3])[kParamHarmonicGuard] = 100;

  (*v[4])[kParamMode] = static_cast<float>(Mode::kLearnFixed);
  (*v[4])[kParamGrowth] = 0;
  (*v[4])[kParamFixedLimit] = 18;

  (*v[5])[kParamMode] = static_cast<float>(Mode::kLiveAssist);
  (*v[5])[kParamMinFrequency] = 100;
  (*v[5])[kParamMaxFrequency] = 2000;

  (*v[6])[kParamMode] = static_cast<float>(Mode::kLiveAssist);
  (*v[6])[kParamMinFrequency] = 800;
  (*v[6])[kParamMaxFrequency] = 18000;

  (*v[7])[kParamMode] = static_cast<float>(Mode::kLiveAssist);
  (*v[7])[kParamRouting] = static_cast<float>(Routing::kDualMono);
  (*v[7])[kParamLiveLimit] = 12;

  ManualCut(*v[8], 100);
  ManualCut(*v[9], 250);
  ManualCut(*v[10], 1000);
  ManualCut(*v[11], 3000);

  EnableSlotRun(*v[12], {3, 9, 32, true});
  EnableSlotRun(*v[13], {3, 9, 32, false});
  EnableSlotRun(*v[14], {3, 4, 2, false});
  EnableSlotRun(*v[15], {4, 9, 32, false});
  return presets;
}

} // namespace

const std::array<FactoryPreset, kFactoryPresetCount>& FactoryPresets() {
  static const std::array<FactoryPreset, kFactoryPresetCount> presets = BuildPresets();
  return presets;
}

} // namespace tarvex
