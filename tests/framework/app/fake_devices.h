#pragma once

#include "framework/app/app_host.h"
#include "framework/app/device_backends.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace plugkit::test {

struct FakeDevice {
  unsigned int id;
  AudioDeviceInfo info;
};

// An audio library with a scripted device list. A started stream plays
// buffers of silence through the host's callback on a thread of its own,
// unless the device is stalled; every call is logged.
class FakeAudioBackend : public AudioBackend {
public:
  explicit FakeAudioBackend(std::vector<FakeDevice> list) : devices(std::move(list)) {}
  ~FakeAudioBackend() override;

  std::vector<unsigned int> DeviceIds() override;
  AudioDeviceInfo DeviceInfo(unsigned int id) override;
  bool OpenStream(const AudioStreamSetup& setup, unsigned int& bufferFrames,
                  AppHost* host) override;
  bool StartStream() override;
  void StopStream() override;
  void CloseStream() override;
  bool IsStreamOpen() const override { return open_; }
  bool IsStreamRunning() const override { return running_; }

  std::vector<FakeDevice> devices;
  bool openSucceeds = true;
  bool startSucceeds = true;
  bool stalled = false;
  // The buffer size the device grants; 0 grants what was asked.
  unsigned int grantedFrames = 0;
  AudioStreamSetup lastSetup;
  unsigned int askedFrames = 0;
  // "open", "start", "stop" (with "+done" when the host had acknowledged
  // the fade-out) and "close".
  std::vector<std::string> calls;
  std::atomic<int> buffersPlayed{0};
  // The last output sample of the last buffer played.
  std::atomic<double> lastBufferLast{0.0};

private:
  void Play();

  AppHost* host_ = nullptr;
  unsigned int frames_ = 0;
  bool open_ = false;
  bool running_ = false;
  std::atomic<bool> playing_{false};
  std::thread device_;
};

// One direction of a MIDI library with scripted ports; every call is logged
// in calls, and kept in gMidiCallsAtDeletion when the object goes.
class FakeMidiPorts {
public:
  explicit FakeMidiPorts(std::vector<std::string> names) : ports(std::move(names)) {}

  std::vector<std::string> ports;
  bool openSucceeds = true;
  std::vector<std::string> calls;
};

class FakeMidiIn : public MidiInBackend, public FakeMidiPorts {
public:
  using FakeMidiPorts::FakeMidiPorts;
  ~FakeMidiIn() override;
  std::vector<std::string> PortNames() override { return ports; }
  bool OpenPort(unsigned int index, const char* name) override;
  void ClosePort() override { calls.push_back("close"); }
  void SetCallback(MidiInputCallback function, void* data) override;
  void CancelCallback() override;

  MidiInputCallback callback = nullptr;
  void* userData = nullptr;
};

class FakeMidiOut : public MidiOutBackend, public FakeMidiPorts {
public:
  using FakeMidiPorts::FakeMidiPorts;
  ~FakeMidiOut() override;
  std::vector<std::string> PortNames() override { return ports; }
  bool OpenPort(unsigned int index, const char* name) override;
  void ClosePort() override { calls.push_back("close"); }
  bool Send(const unsigned char* bytes, size_t size) override;

  std::vector<std::vector<unsigned char>> sent;
};

// The backends the tests give the host: the audio maker returns a
// FakeAudioBackend over gFakeDevices and remembers it in gFakeAudio; errors
// shown are collected in gShownErrors.
DeviceBackends FakeBackends();
extern std::vector<FakeDevice> gFakeDevices;
extern FakeAudioBackend* gFakeAudio;
extern std::vector<std::string> gShownErrors;
// MIDI ports the next MIDI objects list; a null list makes that direction's
// maker fail. The objects made last are kept in gFakeMidiIn and gFakeMidiOut.
extern const std::vector<std::string>* gFakeMidiInPorts;
extern const std::vector<std::string>* gFakeMidiOutPorts;
extern FakeMidiIn* gFakeMidiIn;
extern FakeMidiOut* gFakeMidiOut;
extern std::vector<std::string> gMidiCallsAtDeletion;
// The calls of the last FakeAudioBackend deleted, as they stood before.
extern std::vector<std::string> gCallsAtDeletion;

FakeDevice Device(unsigned int id, const char* name, unsigned int inputs, unsigned int outputs,
                  bool defaultInput = false, bool defaultOutput = false);

} // namespace plugkit::test
