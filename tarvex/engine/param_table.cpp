#include "tarvex/engine/param_table.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace tarvex {
namespace {

constexpr ParamSpec kGlobalRows[kGlobalParamCount] = {
    {"Mode", "mode", "", 0.0f, 0.0f, 2.0f, ParamKind::kEnum},
    {"Routing", "routing", "", 0.0f, 0.0f, 1.0f, ParamKind::kEnum},
    {"Input", "input", "dB", 0.0f, -24.0f, 12.0f, ParamKind::kLinear},
    {"Output", "output", "dB", 0.0f, -24.0f, 12.0f, ParamKind::kLinear},
    {"Mix", "mix", "%", 100.0f, 0.0f, 100.0f, ParamKind::kLinear},
    {"Bypass", "bypass", "", 0.0f, 0.0f, 1.0f, ParamKind::kEnum},
    {"Sensitivity", "sensitivity", "%", 50.0f, 0.0f, 100.0f, ParamKind::kLinear},
    {"Noise Floor", "noise_floor", "dBFS", -55.0f, -90.0f, -20.0f, ParamKind::kLinear},
    {"Min Frequency", "min_frequency", "Hz", 80.0f, 40.0f, 1000.0f, ParamKind::kExponential},
    {"Max Frequency", "max_frequency", "Hz", 16000.0f, 1000.0f, 20000.0f, ParamKind::kExponential},
    {"Persistence", "persistence", "ms", 500.0f, 100.0f, 2000.0f, ParamKind::kExponential},
    {"Prominence", "prominence", "dB", 12.0f, 3.0f, 30.0f, ParamKind::kLinear},
    {"Growth", "growth", "dB/s", 1.5f, 0.0f, 24.0f, ParamKind::kLinear},
    {"Harmonic Guard", "harmonic_guard", "%", 75.0f, 0.0f, 100.0f, ParamKind::kLinear},
    {"Auto Depth", "auto_depth", "dB", 12.0f, 3.0f, 24.0f, ParamKind::kLinear},
    {"Auto Q", "auto_q", "", 24.0f, 2.0f, 60.0f, ParamKind::kExponential},
    {"Fixed Limit", "fixed_limit", "", 12.0f, 0.0f, 24.0f, ParamKind::kEnum},
    {"Live Limit", "live_limit", "", 8.0f, 0.0f, 24.0f, ParamKind::kEnum},
    {"Live Hold", "live_hold", "s", 3.0f, 0.1f, 60.0f, ParamKind::kExponential},
    {"Recovery", "recovery", "s", 5.0f, 0.1f, 30.0f, ParamKind::kExponential},
    {"Attack", "attack", "ms", 20.0f, 1.0f, 200.0f, ParamKind::kExponential},
    {"Cooldown", "cooldown", "s", 1.0f, 0.1f, 10.0f, ParamKind::kExponential},
    {"Dynamic Knee", "dynamic_knee", "dB", 3.0f, 0.0f, 12.0f, ParamKind::kLinear},
    {"Analyzer", "analyzer", "", 1.0f, 0.0f, 1.0f, ParamKind::kEnum},
};

struct SlotFieldRow {
  const char* nameSuffix;
  const char* idSuffix;
  const char* unit;
  float minValue;
  float maxValue;
  ParamKind kind;
};

constexpr SlotFieldRow kSlotFieldRows[kSlotFieldCount] = {
    {"Enabled", "enabled", "", 0.0f, 1.0f, ParamKind::kEnum},
    {"Frequency", "frequency", "Hz", 20.0f, 20000.0f, ParamKind::kExponential},
    {"Depth", "depth", "dB", 0.0f, 36.0f, ParamKind::kLinear},
    {"Q", "q", "", 0.5f, 80.0f, ParamKind::kExponential},
    {"Dynamic", "dynamic", "", 0.0f, 1.0f, ParamKind::kEnum},
    {"Threshold", "threshold", "dBFS", -80.0f, 0.0f, ParamKind::kLinear},
    {"Release", "release", "ms", 20.0f, 5000.0f, ParamKind::kExponential},
};

// Stored rather than computed so the defaults never depend on the libm in use.
constexpr float kDefaultSlotFrequencies[kSlotCount] = {
    80,   101,  127,  160,  201,  253,  319,  401,  505,  636,   801,   1008,
    1269, 1598, 2012, 2534, 3190, 4017, 5057, 6367, 8017, 10093, 12708, 16000};

float SlotFieldDefault(int slot, int field) {
  switch (field) {
    case kSlotFrequency:
      return kDefaultSlotFrequencies[slot];
    case kSlotDepth:
      return 12.0f;
    case kSlotQ:
      return 24.0f;
    case kSlotThreshold:
      return -30.0f;
    case kSlotRelease:
      return 300.0f;
    default:
      return 0.0f;
  }
}

struct ParamTable {
  std::string names[kParamCount];
  std::string ids[kParamCount];
  ParamSpec rows[kParamCount];
  ParamValues defaults;

  ParamTable() {
    for (int i = 0; i < kGlobalParamCount; ++i) rows[i] = kGlobalRows[i];
    for (int slot = 0; slot < kSlotCount; ++slot) {
      for (int field = 0; field < kSlotFieldCount; ++field) {
        const int index = SlotParamIndex(slot, field);
        const SlotFieldRow& f = kSlotFieldRows[field];
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "Slot %d %s", slot + 1, f.nameSuffix);
        names[index] = buffer;
        std::snprintf(buffer, sizeof buffer, "slot%02d_%s", slot + 1, f.idSuffix);
        ids[index] = buffer;
        rows[index] = {
            names[index].c_str(), ids[index].c_str(), f.unit, SlotFieldDefault(slot, field),
            f.minValue,           f.maxValue,         f.kind};
      }
    }
    for (int i = 0; i < kParamCount; ++i) defaults[i] = rows[i].defaultValue;
  }
};

const ParamTable& Table() {
  static const ParamTable table;
  return table;
}

int SlotFieldOf(int index) { return (index - kSlotParamBase) % kSlotFieldCount; }

} // namespace

const ParamSpec& ParamSpecAt(int index) { return Table().rows[index]; }

const ParamValues& DefaultParamValues() { return Table().defaults; }

ParamKind ParamKindOf(int index) {
  if (index < 0) return ParamKind::kLinear;
  if (index < kSlotParamBase) return kGlobalRows[index].kind;
  return kSlotFieldRows[SlotFieldOf(index)].kind;
}

bool IsEnumParam(int index) { return ParamKindOf(index) == ParamKind::kEnum; }

bool IsExpParam(int index) { return ParamKindOf(index) == ParamKind::kExponential; }

const char* ParamValueText(int index, int value) {
  static const char* const kModes[] = {"Manual", "Learn Fixed", "Live Assist"};
  constexpr int kLastMode = static_cast<int>(Mode::kLiveAssist);
  static const char* const kCounts[] = {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",
                                        "9",  "10", "11", "12", "13", "14", "15", "16", "17",
                                        "18", "19", "20", "21", "22", "23", "24"};
  if (index == kParamMode) return kModes[value < 0 ? 0 : (value > kLastMode ? kLastMode : value)];
  if (index == kParamRouting)
    return value != static_cast<int>(Routing::kLinkedStereo) ? "Dual Mono" : "Linked Stereo";
  if (index == kParamFixedLimit || index == kParamLiveLimit)
    return kCounts[value < 0 ? 0 : (value > 24 ? 24 : value)];
  return value != 0 ? "On" : "Off";
}

void SanitizeParamValues(float* out, const float* in) {
  for (int i = 0; i < kParamCount; ++i) {
    const ParamSpec& row = ParamSpecAt(i);
    float v = in[i];
    if (!std::isfinite(v)) v = row.defaultValue;
    if (v < row.minValue) v = row.minValue;
    if (v > row.maxValue) v = row.maxValue;
    if (row.kind == ParamKind::kEnum) v = std::round(v);
    out[i] = v;
  }
}

bool ValidateParamValues(const float* values) {
  for (int i = 0; i < kParamCount; ++i) {
    const ParamSpec& row = ParamSpecAt(i);
    const float v = values[i];
    if (!std::isfinite(v) || v < row.minValue || v > row.maxValue) return false;
    if (row.kind == ParamKind::kEnum && v != std::round(v)) return false;
  }
  return true;
}

} // namespace tarvex
