#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cmath>

namespace plugkit {

// Walks the host's parameter changes of one process call, giving apply (id,
// value, sample offset) the last point of each parameter's queue: the value
// the parameter ends the block with. A point that cannot be read, or whose
// value is not finite, is skipped. The count is read again after each
// parameter, as the host may still be filling the list.
template <typename Apply>
void ForEachHostParamChange(Steinberg::Vst::IParameterChanges* changes, Apply&& apply) {
  if (!changes) return;
  for (Steinberg::int32 i = 0; i < changes->getParameterCount(); ++i) {
    Steinberg::Vst::IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    const Steinberg::int32 points = queue->getPointCount();
    Steinberg::int32 offset = 0;
    Steinberg::Vst::ParamValue value = 0.0;
    if (points <= 0 || queue->getPoint(points - 1, offset, value) != Steinberg::kResultOk ||
        !std::isfinite(value))
      continue;
    apply(queue->getParameterId(), value, offset);
  }
}

} // namespace plugkit
