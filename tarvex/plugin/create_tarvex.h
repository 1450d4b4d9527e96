#pragma once

#include <memory>

#include "tarvex/plugin/tarvex_api_base.h"

namespace tarvex {

// Makes a new instance for the standalone host. Instances are constructed
// one at a time across the whole process.
std::unique_ptr<TarvexApiBase> CreateTarvex(const TarvexInstanceInfo& info);

} // namespace tarvex
