#pragma once

#include "framework/core/editor_delegate.h"

namespace tarvex {

// Whether the current mode or the slot's own switches make the parameter's
// control inactive. Its value is kept either way.
bool IsParamInactive(const plugkit::IEditorDelegate& plugin, int paramIdx);

// The parameter's plain value; 0 for an index outside the parameters.
double PlainValue(const plugkit::IEditorDelegate& plugin, int paramIdx);

} // namespace tarvex
