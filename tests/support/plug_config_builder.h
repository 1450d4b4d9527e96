#pragma once

#include "framework/core/plug_config.h"

#include <cstdint>

namespace plugkit::test {

// The configuration of a test plug-in of ours, named after what a test
// needs of it; whatever is not named keeps its default.
class PlugConfigBuilder {
public:
  // The plug-in is its own product, made by us.
  PlugConfigBuilder(const char* name, const char (&uniqueId)[5]) {
    config_.pluginName = name;
    config_.productName = name;
    config_.makerName = "BRASKELIN";
    config_.uniqueId = FourCharCode(uniqueId);
    config_.makerId = FourCharCode("Brsk");
  }

  PlugConfigBuilder& Params(int32_t params, int32_t presets = 0) {
    config_.nParams = params;
    config_.nPresets = presets;
    return *this;
  }
  PlugConfigBuilder& Channels(const char* channelIO) {
    config_.channelIO = channelIO;
    return *this;
  }
  PlugConfigBuilder& Version(int32_t vendorVersion) {
    config_.vendorVersion = vendorVersion;
    return *this;
  }
  PlugConfigBuilder& Midi(bool in, bool out) {
    config_.doesMidiIn = in;
    config_.doesMidiOut = out;
    return *this;
  }
  PlugConfigBuilder& Chunks() {
    config_.doesChunks = true;
    return *this;
  }
  // The editor's size as it opens; `hasUI` false keeps the size of an
  // editor the plug-in does not offer.
  PlugConfigBuilder& Editor(int32_t width, int32_t height, bool hasUI = true) {
    config_.hasUI = hasUI;
    config_.width = width;
    config_.height = height;
    return *this;
  }
  PlugConfigBuilder& SizeLimits(int32_t minWidth, int32_t maxWidth, int32_t minHeight,
                                int32_t maxHeight) {
    config_.minWidth = minWidth;
    config_.maxWidth = maxWidth;
    config_.minHeight = minHeight;
    config_.maxHeight = maxHeight;
    return *this;
  }
  PlugConfigBuilder& HostResize(bool resizes = true) {
    config_.hostResize = resizes;
    return *this;
  }

  PlugConfig Build() const { return config_; }

private:
  PlugConfig config_;
};

} // namespace plugkit::test
