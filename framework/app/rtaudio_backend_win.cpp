#include "framework/app/rtaudio_backend_win.h"

#include "RtAudio.h"
#include "framework/app/audio_callback.h"

#include <exception>
#include <iostream>

namespace plugkit {

namespace {

// The audio library reports through errorCallback; anything it still throws
// is written out the same way and becomes a failed call.
template <typename Call>
bool Guarded(Call&& call) {
  try {
    return call();
  } catch (const std::exception& e) {
    errorCallback(RTAUDIO_UNKNOWN_ERROR, e.what());
  } catch (...) {
    errorCallback(RTAUDIO_UNKNOWN_ERROR, "unknown audio error");
  }
  return false;
}

class RtAudioBackend : public AudioBackend {
public:
  RtAudioBackend()
      : audio_(RtAudio::WINDOWS_DS, [](RtAudioErrorType type, const std::string& message) {
          errorCallback(type, message);
        }) {}

  std::vector<unsigned int> DeviceIds() override {
    std::vector<unsigned int> ids;
    Guarded([&] {
      ids = audio_.getDeviceIds();
      return true;
    });
    return ids;
  }

  AudioDeviceInfo DeviceInfo(unsigned int id) override {
    AudioDeviceInfo info;
    Guarded([&] {
      const RtAudio::DeviceInfo device = audio_.getDeviceInfo(id);
      info.name = device.name;
      info.inputChannels = device.inputChannels;
      info.outputChannels = device.outputChannels;
      info.isDefaultInput = device.isDefaultInput;
      info.isDefaultOutput = device.isDefaultOutput;
      info.sampleRates = device.sampleRates;
      return true;
    });
    return info;
  }

  bool OpenStream(const AudioStreamSetup& setup, unsigned int& bufferFrames,
                  AppHost* host) override {
    return Guarded([&] {
      RtAudio::StreamParameters output;
      output.deviceId = setup.outputId;
      output.nChannels = setup.outputChannels;
      output.firstChannel = 0;
      RtAudio::StreamParameters input;
      input.deviceId = setup.inputId;
      input.nChannels = setup.inputChannels;
      input.firstChannel = 0;
      RtAudio::StreamOptions options;
      options.flags = RTAUDIO_NONINTERLEAVED;
      options.numberOfBuffers = 0;
      options.priority = 0;
      return audio_.openStream(&output, setup.inputChannels > 0 ? &input : nullptr, RTAUDIO_FLOAT64,
                               setup.sampleRate, &bufferFrames, HostAudioCallback, host,
                               &options) == RTAUDIO_NO_ERROR;
    });
  }

  bool StartStream() override {
    return Guarded([&] { return audio_.startStream() == RTAUDIO_NO_ERROR; });
  }

  void StopStream() override {
    Guarded([&] { return audio_.stopStream() == RTAUDIO_NO_ERROR; });
  }

  void CloseStream() override {
    Guarded([&] {
      audio_.closeStream();
      return true;
    });
  }

  bool IsStreamOpen() const override { return audio_.isStreamOpen(); }
  bool IsStreamRunning() const override { return audio_.isStreamRunning(); }

private:
  RtAudio audio_;
};

} // namespace

void errorCallback(int, const std::string& message) {
  std::cerr << "\nerrorCallback: " << message << "\n\n";
}

std::unique_ptr<AudioBackend> MakeRtAudioBackend() {
  std::unique_ptr<AudioBackend> backend;
  Guarded([&] {
    backend = std::make_unique<RtAudioBackend>();
    return true;
  });
  return backend;
}

} // namespace plugkit
