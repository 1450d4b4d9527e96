#pragma once

#include <array>

#include "tarvex/engine/param_table.h"

namespace tarvex {

constexpr int kFactoryPresetCount = 16;

struct FactoryPreset {
  const char* name;
  ParamValues values;
};

// Built once per process on first use and never changed afterwards.
const std::array<FactoryPreset, kFactoryPresetCount>& FactoryPresets();

} // namespace tarvex
