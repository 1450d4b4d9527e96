#pragma once

#include "framework/app/plugin_app.h"

#include <cstdint>
#include <vector>

namespace plugkit::test {

inline PlugConfig StatefulConfig(const char* channelIO, bool doesMidiOut = false,
                                 int plugType = 0) {
  PlugConfig config;
  config.channelIO = channelIO;
  config.doesMidiIn = true;
  config.doesMidiOut = doesMidiOut;
  config.plugType = plugType;
  config.width = 300;
  config.height = 200;
  return config;
}

// Every output sample depends on every earlier frame: each channel runs a
// one-pole low-pass and adds the count of frames processed so far, so a
// frame skipped or processed twice changes all later output.
class StatefulPlugin : public IPluginApp {
public:
  struct Arrival {
    MidiMessage message;
    int64_t atFrame = 0;
  };
  struct SysExArrival {
    int32_t offset = 0;
    int32_t size = 0;
    uint8_t first = 0;
    uint8_t last = 0;
    int64_t atFrame = 0;
  };

  StatefulPlugin(const InstanceInfo& info, const PlugConfig& config) : IPluginApp(info, config) {
    blockSizes.reserve(4096);
    midi.reserve(256);
  }
  ~StatefulPlugin() override {
    if (destroyed) ++*destroyed;
  }

  void ProcessBlock(float** inputs, float** outputs, int nFrames) override {
    blockSizes.push_back(nFrames);
    const int nIn = NChannels(kDirectionInput);
    const int nOut = NChannels(kDirectionOutput);
    for (int i = 0; i < nFrames; ++i) {
      ++framesSeen;
      for (int c = 0; c < nOut; ++c) {
        const float in = c < nIn ? inputs[c][i] : 0.0f;
        state[c] = state[c] * 0.9f + in * 0.1f;
        outputs[c][i] = state[c] + static_cast<float>(framesSeen) * 0.001f;
      }
    }
  }
  void ProcessMidiMessage(const MidiMessage& message) override {
    midi.push_back({message, framesSeen});
    IPluginApp::ProcessMidiMessage(message);
  }
  void ProcessSysEx(const SysExMessage& message) override {
    const bool hasData = message.size > 0;
    sysEx.push_back({message.offset, message.size, hasData ? message.data[0] : uint8_t{0},
                     hasData ? message.data[message.size - 1] : uint8_t{0}, framesSeen});
  }
  void OnReset() override { ++resets; }
  void SendMidiToUI(const MidiMessage& message) override { midiToUI.push_back(message); }
  void SendSysExToUI(const SysExMessage& message) override { sysExToUI.push_back(message.size); }

  int QueuedSysExFromUI() const { return sysExFromUI_.ElementsAvailable(); }

  float state[2] = {0.0f, 0.0f};
  int64_t framesSeen = 0;
  int resets = 0;
  int* destroyed = nullptr;
  std::vector<int> blockSizes;
  std::vector<Arrival> midi;
  std::vector<SysExArrival> sysEx;
  std::vector<MidiMessage> midiToUI;
  std::vector<int> sysExToUI;
};

} // namespace plugkit::test
