#pragma once

#include "framework/core/plug_config.h"

#include <cstdint>

namespace tarvex {

// The four words of the module's class identifier: two of the maker's name,
// then the maker's and the plug-in's four-character codes.
constexpr uint32_t kClassIdWords[4] = {
    static_cast<uint32_t>(plugkit::FourCharCode("BRAS")),
    static_cast<uint32_t>(plugkit::FourCharCode("KELI")),
    static_cast<uint32_t>(plugkit::FourCharCode("Brsk")),
    static_cast<uint32_t>(plugkit::FourCharCode("Btvx")),
};

} // namespace tarvex
