#include "tarvex/plugin/tarvex_params.h"

#include <cmath>

#include "framework/core/param_shape.h"
#include "tarvex/engine/param_table.h"

namespace tarvex {
namespace {

constexpr double kExpStep = 0.001;
constexpr double kLinearStep = 0.01;

} // namespace

void ConfigureParamFromTable(plugkit::IParam& param, int index) {
  const ParamSpec& spec = ParamSpecAt(index);
  if (IsEnumParam(index)) {
    const int lo = static_cast<int>(std::lround(spec.minValue));
    const int hi = static_cast<int>(std::lround(spec.maxValue));
    param.ConfigureInt(spec.name, static_cast<int>(std::lround(spec.defaultValue)), lo, hi,
                       spec.unit, 0, "");
    for (int v = lo; v <= hi; ++v) param.AddDisplayText(v, ParamValueText(index, v));
  } else if (IsExpParam(index)) {
    param.ConfigureDouble(spec.name, spec.defaultValue, spec.minValue, spec.maxValue, kExpStep,
                          spec.unit, 0, "", plugkit::IParam::ShapeExp(),
                          plugkit::IParam::kDefaultUnit);
  } else {
    param.ConfigureDouble(spec.name, spec.defaultValue, spec.minValue, spec.maxValue, kLinearStep,
                          spec.unit, 0, "", plugkit::IParam::ShapeLinear(),
                          plugkit::IParam::kDefaultUnit);
  }
}

} // namespace tarvex
