#include "tarvex/plugin/tarvex_config.h"

#include "tarvex/engine/factory_presets.h"
#include "tarvex/engine/param_table.h"

namespace tarvex {

plugkit::PlugConfig TarvexConfig() {
  plugkit::PlugConfig config;
  config.nParams = kParamCount;
  config.nPresets = kFactoryPresetCount;
  config.channelIO = "1-1 2-2";
  config.pluginName = "Tarvex";
  config.productName = "Tarvex";
  config.makerName = "BRASKELIN";
  config.vendorVersion = 0x00000100;
  config.uniqueId = plugkit::FourCharCode("Btvx");
  config.makerId = plugkit::FourCharCode("Brsk");
  config.latency = 0;
  config.doesMidiIn = false;
  config.doesMidiOut = false;
  config.doesMpe = false;
  config.doesChunks = true;
  config.plugType = 0;
  config.hasUI = true;
  config.width = 1180;
  config.height = 800;
  config.minWidth = 393;
  config.maxWidth = 3540;
  config.minHeight = 266;
  config.maxHeight = 2400;
  config.hostResize = true;
  config.bundleId = "";
  config.appGroupId = "";
  return config;
}

} // namespace tarvex
