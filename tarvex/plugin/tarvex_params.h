#pragma once

#include "framework/core/param.h"

namespace tarvex {

// Configures one framework parameter from its row of the parameter table:
// enumerated rows become stepped integers with one display text per value,
// the others continuous values with an exponential or linear shape.
void ConfigureParamFromTable(plugkit::IParam& param, int index);

} // namespace tarvex
