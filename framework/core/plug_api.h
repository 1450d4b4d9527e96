#pragma once

#include <cstdint>

namespace plugkit {

// The plug-in API an instance runs under.
enum class PlugApi : int32_t {
  VST3 = 1,
  Standalone = 5,
};

} // namespace plugkit
