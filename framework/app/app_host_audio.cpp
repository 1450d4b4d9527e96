#include "framework/app/app_host.h"
#include "framework/app/audio_device_names.h"
#include "framework/core/channel_io.h"

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <utility>

namespace plugkit {

namespace {
constexpr const char* kCheckAudioSettings = "Please check the audio settings";
} // namespace

void AppHost::ResetAudioDriver() {
  CloseAudioStream();
  audio_.reset();
  if (InScreenshotOrNoIOMode()) return;
  current_.driverType = 0;
  if (backends_.makeAudio) audio_ = backends_.makeAudio();
}

void AppHost::ProbeAudioDevices() {
  devices_.clear();
  inputDeviceIds_.clear();
  outputDeviceIds_.clear();
  defaultInput_.reset();
  defaultOutput_.reset();
  if (!audio_) return;
  for (const unsigned int id : audio_->DeviceIds()) {
    const AudioDeviceInfo info = audio_->DeviceInfo(id);
    devices_.push_back({id, AudioDeviceName(info.name)});
    if (info.inputChannels > 0) inputDeviceIds_.push_back(id);
    if (info.outputChannels > 0) outputDeviceIds_.push_back(id);
    if (info.isDefaultInput) defaultInput_ = id;
    if (info.isDefaultOutput) defaultOutput_ = id;
  }
}

std::string AppHost::GetAudioDeviceName(unsigned int id) const {
  for (const ProbedDevice& device : devices_) {
    if (device.id == id) return device.name;
  }
  return {};
}

std::optional<unsigned int> AppHost::FindAudioDeviceId(int direction, const char* name) const {
  const std::vector<unsigned int>& ids =
      direction == kDirectionInput ? inputDeviceIds_ : outputDeviceIds_;
  for (const unsigned int id : ids) {
    if (GetAudioDeviceName(id) == name) return id;
  }
  return std::nullopt;
}

bool AppHost::ResolveAudioDevice(const char* name, bool isInput, unsigned int& id, bool& changed) {
  if (const std::optional<unsigned int> found =
          FindAudioDeviceId(isInput ? kDirectionInput : kDirectionOutput, name)) {
    id = *found;
    return true;
  }
  const std::optional<unsigned int> fallback = isInput ? defaultInput_ : defaultOutput_;
  if (!fallback) return false;
  id = *fallback;
  const bool listed = !(isInput ? inputDeviceIds_ : outputDeviceIds_).empty();
  if (listed)
    (isInput ? current_.audioInDevice : current_.audioOutDevice)
        .Set(GetAudioDeviceName(id).c_str());
  changed = true;
  return true;
}

bool AppHost::StartAudio() {
  if (InScreenshotOrNoIOMode()) return true;
  // Driver type 1 opens one device for both directions: the output's.
  const std::string inputName =
      current_.driverType == 1 ? current_.audioOutDevice.Get() : current_.audioInDevice.Get();
  const std::string outputName = current_.audioOutDevice.Get();
  // A device that was gone when the devices were last listed may be back.
  if (!FindAudioDeviceId(kDirectionInput, inputName.c_str()) ||
      !FindAudioDeviceId(kDirectionOutput, outputName.c_str()))
    ProbeAudioDevices();
  unsigned int inputId = 0;
  unsigned int outputId = 0;
  bool changed = false;
  const bool inputFound = ResolveAudioDevice(inputName.c_str(), true, inputId, changed);
  const bool outputFound = ResolveAudioDevice(outputName.c_str(), false, outputId, changed);
  if (changed) SaveSettings();
  if (!inputFound || !outputFound) {
    ShowError(kCheckAudioSettings, "Error");
    return false;
  }
  // Named now: opening may probe the devices again.
  const std::string devices =
      "from \"" + GetAudioDeviceName(inputId) + "\" to \"" + GetAudioDeviceName(outputId) + "\"";
  if (OpenAudioStream(inputId, outputId, current_.sampleRate, current_.bufferSize)) return true;
  const std::string text = "Could not start audio " + devices + " at " +
                           std::to_string(current_.sampleRate) + " Hz:\n" + audioError_;
  ShowError(text.c_str(), "Error");
  return false;
}

bool AppHost::OpenAudioStream(unsigned int inputId, unsigned int outputId, int sampleRate,
                              int bufferFrames) {
  const auto fail = [this](std::string reason) {
    audioError_ = std::move(reason);
    return false;
  };
  // Closing may probe the devices again under new ids: the names stay.
  const std::string inputName = GetAudioDeviceName(inputId);
  const std::string outputName = GetAudioDeviceName(outputId);
  CloseAudioStream();
  const auto idNow = [this](int direction, const std::string& name, unsigned int id) {
    return name.empty() ? std::optional<unsigned int>(id)
                        : FindAudioDeviceId(direction, name.c_str());
  };
  const std::optional<unsigned int> input = idNow(kDirectionInput, inputName, inputId);
  const std::optional<unsigned int> output = idNow(kDirectionOutput, outputName, outputId);
  if (!input || !output) return fail("The device is no longer there.");
  inputId = *input;
  outputId = *output;
  if (!audio_) return fail("No audio driver");
  if (sampleRate <= 0 || bufferFrames <= 0) return fail("No sample rate or buffer size");
  if (!PrepareAudioStream(sampleRate, bufferFrames))
    return fail("The plug-in could not be prepared");
  AudioStreamSetup setup;
  setup.outputId = outputId;
  setup.outputChannels = static_cast<unsigned int>(plug_->NChannels(kDirectionOutput));
  setup.inputId = inputId;
  setup.inputChannels = static_cast<unsigned int>(plug_->NChannels(kDirectionInput));
  setup.sampleRate = static_cast<unsigned int>(sampleRate);
  auto granted = static_cast<unsigned int>(bufferFrames);
  if (!audio_->OpenStream(setup, granted, this)) return fail(audio_->ErrorText());
  bufferFrames_ = static_cast<int32_t>(granted);
  if (!audio_->StartStream()) return fail(audio_->ErrorText());
  if (!AwaitStreamMoving()) {
    CloseAudioStream();
    return fail(
        "The device takes no audio; it may have been unplugged or its audio service "
        "stopped.");
  }
  active_.CopyFrom(current_);
  return true;
}

int AppHost::BuffersMs(int n) const {
  const double ms = 1000.0 * n * bufferFrames_ / (sampleRate_ > 0.0 ? sampleRate_ : 44100.0);
  return static_cast<int>(std::ceil(ms));
}

bool AppHost::AwaitStreamMoving() const {
  const int limitMs = kStartWaitMs + BuffersMs(1);
  for (int waited = 0; buffersAsked_.load() == 0; waited += kStopWaitStepMs) {
    if (waited >= limitMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kStopWaitStepMs));
  }
  return true;
}

bool AppHost::AwaitFadeOut() {
  audioExiting_.store(true);
  const int stallMs = kStallMs + BuffersMs(2);
  uint32_t asked = buffersAsked_.load();
  for (int waited = 0, still = 0; !audioDone_.load() && waited < kStopWaitMs;
       waited += kStopWaitStepMs, still += kStopWaitStepMs) {
    if (buffersAsked_.load() != asked) {
      asked = buffersAsked_.load();
      still = 0;
    }
    if (still >= stallMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kStopWaitStepMs));
  }
  return audioDone_.load();
}

void AppHost::CloseAudioStream() {
  if (!audio_ || !audio_->IsStreamOpen()) return;
  if (audio_->IsStreamRunning()) {
    if (AwaitFadeOut()) {
      audio_->StopStream();
    } else {
      audio_->AbortStream();
      ProbeAudioDevices();
    }
  }
  if (audio_->IsStreamOpen()) audio_->CloseStream();
}

bool AppHost::IsAudioRunningOnCurrent() const {
  return audio_ && audio_->IsStreamRunning() && AudioSettingsEqual(active_, current_);
}

void AppHost::ShowError(const char* text, const char* caption) const {
  if (backends_.showError) backends_.showError(text, caption);
}

} // namespace plugkit
