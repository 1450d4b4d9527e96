#pragma once

#include "pluginterfaces/base/funknown.h"

namespace plugkit {

// Runs the body of a host call so that no exception crosses the VST3
// boundary, where it would take the host down: any exception becomes the
// failure result.
template <typename Body>
Steinberg::tresult GuardHostCall(Steinberg::tresult failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

} // namespace plugkit
