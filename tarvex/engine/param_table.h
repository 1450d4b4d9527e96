#pragma once

#include <array>

namespace tarvex {

constexpr int kParamCount = 192;
constexpr int kGlobalParamCount = 24;
constexpr int kSlotCount = 24;
constexpr int kSlotParamBase = 24;
constexpr int kSlotFieldCount = 7;

enum GlobalParam : int {
  kParamMode = 0,
  kParamRouting,
  kParamInput,
  kParamOutput,
  kParamMix,
  kParamBypass,
  kParamSensitivity,
  kParamNoiseFloor,
  kParamMinFrequency,
  kParamMaxFrequency,
  kParamPersistence,
  kParamProminence,
  kParamGrowth,
  kParamHarmonicGuard,
  kParamAutoDepth,
  kParamAutoQ,
  kParamFixedLimit,
  kParamLiveLimit,
  kParamLiveHold,
  kParamRecovery,
  kParamAttack,
  kParamCooldown,
  kParamDynamicKnee,
  kParamAnalyzer,
};

enum SlotField : int {
  kSlotEnabled = 0,
  kSlotFrequency,
  kSlotDepth,
  kSlotQ,
  kSlotDynamic,
  kSlotThreshold,
  kSlotRelease,
};

using ParamValues = std::array<float, kParamCount>;

constexpr int SlotParamIndex(int slot, int field) {
  return kSlotParamBase + kSlotFieldCount * slot + field;
}

// One row of the parameter table; the texts live as long as the process.
struct ParamSpec {
  const char* name;
  const char* id;
  const char* unit;
  float defaultValue;
  float minValue;
  float maxValue;
};

const ParamSpec& ParamSpecAt(int index);
const ParamValues& DefaultParamValues();

bool IsEnumParam(int index);
bool IsExpParam(int index);
const char* ParamValueText(int index, int value);

void SanitizeParamValues(float* out, const float* in);
bool ValidateParamValues(const float* values);

}  // namespace tarvex
