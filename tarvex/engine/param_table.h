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

// The values of the Mode parameter.
enum class Mode : int {
  kManual = 0,
  kLearnFixed = 1,
  kLiveAssist = 2,
};

// The values of the Routing parameter.
enum class Routing : int {
  kLinkedStereo = 0,
  kDualMono = 1,
};

// How a parameter's values are read and shown: continuous on a linear scale,
// continuous on an exponential scale, or whole numbers naming a choice.
enum class ParamKind : int {
  kLinear,
  kExponential,
  kEnum,
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
  ParamKind kind;
};

const ParamSpec& ParamSpecAt(int index);
const ParamValues& DefaultParamValues();

// Kinds of indices past the table follow the slot field rule, as every index
// from the first slot on does; negative indices are linear.
ParamKind ParamKindOf(int index);
bool IsEnumParam(int index);
bool IsExpParam(int index);
const char* ParamValueText(int index, int value);

void SanitizeParamValues(float* out, const float* in);
bool ValidateParamValues(const float* values);

} // namespace tarvex
