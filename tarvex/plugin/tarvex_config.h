#pragma once

#include "framework/core/plug_config.h"

namespace tarvex {

// The fixed configuration every Tarvex instance hands to the framework.
plugkit::PlugConfig TarvexConfig();

} // namespace tarvex
