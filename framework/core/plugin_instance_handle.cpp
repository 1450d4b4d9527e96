#include "framework/core/plugin_instance_handle.h"

#include <atomic>

namespace plugkit {

namespace {

std::atomic<ModuleHandle> gPluginInstanceHandle{nullptr};

} // namespace

void SetPluginInstanceHandle(ModuleHandle module) { gPluginInstanceHandle.store(module); }

ModuleHandle GetPluginInstanceHandle() { return gPluginInstanceHandle.load(); }

} // namespace plugkit
