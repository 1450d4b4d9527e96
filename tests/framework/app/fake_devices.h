#pragma once

#include "framework/app/app_host.h"
#include "framework/app/audio_callback.h"
#include "framework/app/device_backends.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace plugkit::test {

// Every call the fake device objects get, in order, across objects; a
// deleted object logs "delete" with its name.
inline std::vector<std::string> gDeviceCalls;
inline std::vector<std::string> gShownErrors;

// An audio library with a scripted device list. A started stream plays
// buffers through the host's callback on a thread of its own unless stalled
// from the start, or until halted as a device that went away. Aborting may
// number the devices anew, as a renewed library does.
class FakeAudio : public AudioBackend {
public:
  struct Device {
    unsigned int id;
    AudioDeviceInfo info;
  };
  inline static std::vector<Device> next;
  inline static FakeAudio* last = nullptr;

  FakeAudio() : devices(next) { last = this; }
  ~FakeAudio() override {
    StopStream();
    gDeviceCalls.push_back("delete audio");
    if (last == this) last = nullptr;
  }
  std::vector<unsigned int> DeviceIds() override {
    std::vector<unsigned int> ids;
    for (const Device& d : devices) ids.push_back(d.id);
    return ids;
  }
  AudioDeviceInfo DeviceInfo(unsigned int id) override {
    for (const Device& d : devices)
      if (d.id == id) return d.info;
    return {};
  }
  bool OpenStream(const AudioStreamSetup& s, unsigned int& frames, AppHost* h) override {
    gDeviceCalls.push_back("open");
    setup = s;
    asked = frames;
    frames = granted > 0 ? granted : frames;
    host = h;
    open = openSucceeds && s.sampleRate != refusedRate;
    return open;
  }
  bool StartStream() override {
    gDeviceCalls.push_back("start");
    running = startSucceeds;
    stopping.store(false);
    halted.store(false);
    haltSeen.store(false);
    if (running && !stalled)
      player = std::thread([this, frames = host->GetBufferFrames()] {
        std::vector<double> in(frames * setup.inputChannels), out(frames * setup.outputChannels);
        while (!stopping.load()) {
          if (halted.load()) {
            haltSeen.store(true);
            std::this_thread::yield();
            continue;
          }
          HostAudioCallback(out.data(), in.data(), frames, 0.0, 0, host);
          ++played;
        }
      });
    return running;
  }
  void StopStream() override {
    if (!running) return;
    gDeviceCalls.push_back(host->IsAudioDone() ? "stop after fade-out" : "stop");
    stopping.store(true);
    if (player.joinable()) player.join();
    running = false;
  }
  void AbortStream() override {
    gDeviceCalls.push_back("abort");
    stopping.store(true);
    if (player.joinable()) player.join();
    running = open = false;
    if (!devicesAfterAbort.empty()) devices = devicesAfterAbort;
  }
  void CloseStream() override {
    gDeviceCalls.push_back("close");
    open = false;
  }
  // Stops the callbacks as a device that went away does, and returns once
  // none is in flight: one that began before would see the stop requested
  // after and fade out as a moving device does.
  void Halt() {
    halted.store(true);
    while (player.joinable() && !haltSeen.load()) std::this_thread::yield();
  }
  bool IsStreamOpen() const override { return open; }
  bool IsStreamRunning() const override { return running; }
  std::string ErrorText() const override { return "Not supported"; }

  std::vector<Device> devices;
  bool openSucceeds = true, startSucceeds = true, stalled = false;
  unsigned int granted = 0, asked = 0, refusedRate = 0;
  std::vector<Device> devicesAfterAbort;
  AudioStreamSetup setup;
  std::atomic<int> played{0};

private:
  std::atomic<bool> halted{false}, haltSeen{false};
  AppHost* host = nullptr;
  bool open = false, running = false;
  std::atomic<bool> stopping{false};
  std::thread player;
};

// One direction of a MIDI library with scripted ports.
class FakeMidi : public MidiInBackend, public MidiOutBackend {
public:
  inline static std::vector<std::string> nextIn{"Keys", "Pads", "Keys 2"}, nextOut{"Synth"};
  inline static bool failIn = false, failOut = false;
  inline static FakeMidi *in = nullptr, *out = nullptr;

  FakeMidi(const char* direction, std::vector<std::string> ports)
      : name(direction), names(std::move(ports)) {}
  ~FakeMidi() override { gDeviceCalls.push_back("delete " + name); }
  std::vector<std::string> PortNames() override { return names; }
  bool OpenPort(unsigned int index, const char* port) override {
    gDeviceCalls.push_back(name + " open " + std::to_string(index) + " " + port);
    return openSucceeds;
  }
  void ClosePort() override { gDeviceCalls.push_back(name + " close"); }
  void SetCallback(MidiInputCallback, void*) override {
    gDeviceCalls.push_back(name + " callback");
  }
  void CancelCallback() override { gDeviceCalls.push_back(name + " cancel"); }
  bool Send(const unsigned char* bytes, size_t size) override {
    sent.emplace_back(bytes, bytes + size);
    return true;
  }

  const std::string name;
  std::vector<std::string> names;
  bool openSucceeds = true;
  std::vector<std::vector<unsigned char>> sent;
};

inline DeviceBackends FakeBackends() {
  DeviceBackends backends;
  backends.makeAudio = [] { return std::unique_ptr<AudioBackend>(new FakeAudio()); };
  backends.makeMidiIn = []() -> std::unique_ptr<MidiInBackend> {
    return FakeMidi::failIn ? nullptr
                            : std::unique_ptr<MidiInBackend>(
                                  FakeMidi::in = new FakeMidi("in", FakeMidi::nextIn));
  };
  backends.makeMidiOut = []() -> std::unique_ptr<MidiOutBackend> {
    return FakeMidi::failOut ? nullptr
                             : std::unique_ptr<MidiOutBackend>(
                                   FakeMidi::out = new FakeMidi("out", FakeMidi::nextOut));
  };
  backends.showError = [](const char* text, const char* caption) {
    gShownErrors.push_back(std::string(caption) + ": " + text);
  };
  return backends;
}

inline FakeAudio::Device Device(unsigned int id, const char* name, unsigned int inputs,
                                unsigned int outputs, bool defaultInput = false,
                                bool defaultOutput = false) {
  FakeAudio::Device device{id, {}};
  device.info.name = name;
  device.info.inputChannels = inputs;
  device.info.outputChannels = outputs;
  device.info.isDefaultInput = defaultInput;
  device.info.isDefaultOutput = defaultOutput;
  return device;
}

} // namespace plugkit::test
