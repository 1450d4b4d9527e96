#pragma once

#include <cstdint>

namespace plugkit {

// The fixed description of a plug-in, filled by its class and handed to the
// framework constructors.
struct PlugConfig {
  int32_t nParams = 0;
  int32_t nPresets = 0;
  const char* channelIO = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* makerName = "";
  int32_t vendorVersion = 0;
  int32_t uniqueId = 0;
  int32_t makerId = 0;
  int32_t latency = 0;
  bool doesMidiIn = false;
  bool doesMidiOut = false;
  bool doesMpe = false;
  bool doesChunks = false;
  int32_t plugType = 0;
  bool hasUI = false;
  int32_t width = 0;
  int32_t height = 0;
  int32_t minWidth = 0;
  int32_t maxWidth = 0;
  int32_t minHeight = 0;
  int32_t maxHeight = 0;
  bool hostResize = false;
  const char* bundleId = "";
  const char* appGroupId = "";
};

// A four-character code as a 32-bit number, first letter most significant.
constexpr int32_t FourCharCode(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

} // namespace plugkit
