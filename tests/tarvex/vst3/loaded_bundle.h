#pragma once

#include "public.sdk/source/vst/hosting/module.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {

// The module built from this tree, loaded once and never unloaded, as a host
// keeps a module while it runs: the framework's process-lifetime lists live
// inside the module.
inline const VST3::Hosting::Module::Ptr& LoadBundle() {
  static const auto* module = [] {
    std::string error;
    auto* loaded =
        new VST3::Hosting::Module::Ptr(VST3::Hosting::Module::create(TARVEX_VST3_BUNDLE, error));
    EXPECT_TRUE(*loaded) << error;
    return loaded;
  }();
  return *module;
}

} // namespace tarvex
