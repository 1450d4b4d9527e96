#include "fake_devices.h"

#include "framework/app/audio_callback.h"

#include <chrono>

namespace plugkit::test {

std::vector<FakeDevice> gFakeDevices;
FakeAudioBackend* gFakeAudio = nullptr;
std::vector<std::string> gShownErrors;
std::vector<std::string> gCallsAtDeletion;
const std::vector<std::string>* gFakeMidiInPorts = nullptr;
const std::vector<std::string>* gFakeMidiOutPorts = nullptr;
FakeMidiIn* gFakeMidiIn = nullptr;
FakeMidiOut* gFakeMidiOut = nullptr;
std::vector<std::string> gMidiCallsAtDeletion;

namespace {

std::unique_ptr<AudioBackend> MakeFakeAudio() {
  auto backend = std::make_unique<FakeAudioBackend>(gFakeDevices);
  gFakeAudio = backend.get();
  return backend;
}

std::unique_ptr<MidiInBackend> MakeFakeMidiIn() {
  if (!gFakeMidiInPorts) return nullptr;
  auto backend = std::make_unique<FakeMidiIn>(*gFakeMidiInPorts);
  gFakeMidiIn = backend.get();
  return backend;
}

std::unique_ptr<MidiOutBackend> MakeFakeMidiOut() {
  if (!gFakeMidiOutPorts) return nullptr;
  auto backend = std::make_unique<FakeMidiOut>(*gFakeMidiOutPorts);
  gFakeMidiOut = backend.get();
  return backend;
}

void LogDeletion(const std::string& direction, const std::vector<std::string>& calls) {
  for (const std::string& call : calls) gMidiCallsAtDeletion.push_back(direction + " " + call);
}

void CollectError(const char* text, const char* caption) {
  gShownErrors.push_back(std::string(caption) + ": " + text);
}

} // namespace

FakeAudioBackend::~FakeAudioBackend() {
  gCallsAtDeletion = calls;
  StopStream();
  if (gFakeAudio == this) gFakeAudio = nullptr;
}

std::vector<unsigned int> FakeAudioBackend::DeviceIds() {
  std::vector<unsigned int> ids;
  for (const FakeDevice& device : devices) ids.push_back(device.id);
  return ids;
}

AudioDeviceInfo FakeAudioBackend::DeviceInfo(unsigned int id) {
  for (const FakeDevice& device : devices) {
    if (device.id == id) return device.info;
  }
  return {};
}

bool FakeAudioBackend::OpenStream(const AudioStreamSetup& setup, unsigned int& bufferFrames,
                                  AppHost* host) {
  calls.push_back("open");
  lastSetup = setup;
  askedFrames = bufferFrames;
  if (!openSucceeds) return false;
  if (grantedFrames > 0) bufferFrames = grantedFrames;
  frames_ = bufferFrames;
  host_ = host;
  open_ = true;
  return true;
}

bool FakeAudioBackend::StartStream() {
  calls.push_back("start");
  if (!startSucceeds || !open_) return false;
  running_ = true;
  if (!stalled) {
    playing_.store(true);
    device_ = std::thread([this] { Play(); });
  }
  return true;
}

void FakeAudioBackend::StopStream() {
  if (!running_) return;
  calls.push_back(host_ && host_->IsAudioDone() ? "stop+done" : "stop");
  playing_.store(false);
  if (device_.joinable()) device_.join();
  running_ = false;
}

void FakeAudioBackend::CloseStream() {
  calls.push_back("close");
  open_ = false;
}

void FakeAudioBackend::Play() {
  const size_t frames = frames_;
  std::vector<double> input(frames * lastSetup.inputChannels, 0.5);
  std::vector<double> output(frames * lastSetup.outputChannels, 0.0);
  while (playing_.load()) {
    std::fill(input.begin(), input.end(), 0.5);
    HostAudioCallback(output.data(), input.data(), frames_, 0.0, 0, host_);
    lastBufferLast.store(output.back());
    buffersPlayed.fetch_add(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

FakeMidiIn::~FakeMidiIn() {
  LogDeletion("in", calls);
  if (gFakeMidiIn == this) gFakeMidiIn = nullptr;
}

bool FakeMidiIn::OpenPort(unsigned int index, const char* name) {
  calls.push_back("open " + std::to_string(index) + " " + name);
  return openSucceeds;
}

void FakeMidiIn::SetCallback(MidiInputCallback function, void* data) {
  calls.push_back("callback");
  callback = function;
  userData = data;
}

void FakeMidiIn::CancelCallback() {
  calls.push_back("cancel");
  callback = nullptr;
}

FakeMidiOut::~FakeMidiOut() {
  LogDeletion("out", calls);
  if (gFakeMidiOut == this) gFakeMidiOut = nullptr;
}

bool FakeMidiOut::OpenPort(unsigned int index, const char* name) {
  calls.push_back("open " + std::to_string(index) + " " + name);
  return openSucceeds;
}

bool FakeMidiOut::Send(const unsigned char* bytes, size_t size) {
  sent.emplace_back(bytes, bytes + size);
  return true;
}

DeviceBackends FakeBackends() {
  DeviceBackends backends;
  backends.makeAudio = MakeFakeAudio;
  backends.makeMidiIn = MakeFakeMidiIn;
  backends.makeMidiOut = MakeFakeMidiOut;
  backends.showError = CollectError;
  return backends;
}

FakeDevice Device(unsigned int id, const char* name, unsigned int inputs, unsigned int outputs,
                  bool defaultInput, bool defaultOutput) {
  FakeDevice device{id, {}};
  device.info.name = name;
  device.info.inputChannels = inputs;
  device.info.outputChannels = outputs;
  device.info.isDefaultInput = defaultInput;
  device.info.isDefaultOutput = defaultOutput;
  device.info.sampleRates = {44100, 48000};
  return device;
}

} // namespace plugkit::test
