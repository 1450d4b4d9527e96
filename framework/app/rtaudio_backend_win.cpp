#include "framework/app/rtaudio_backend_win.h"

#include "RtAudio.h"
#include "framework/app/audio_callback.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <future>
#include <iostream>
#include <system_error>
#include <thread>

namespace plugkit {

namespace {

// The audio library reports through errorCallback; anything it still throws
// is written out the same way and becomes a failed call, whose text is kept
// when the caller asks for it.
template <typename Call>
bool Guarded(Call&& call, std::string* errorText = nullptr) {
  std::string text;
  try {
    return call();
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "unknown audio error";
  }
  errorCallback(RTAUDIO_UNKNOWN_ERROR, text);
  if (errorText) *errorText = text;
  return false;
}

std::shared_ptr<RtAudio> MakeLibrary() {
  return std::make_shared<RtAudio>(
      RtAudio::WINDOWS_DS,
      [](RtAudioErrorType type, const std::string& message) { errorCallback(type, message); });
}

// A stream that still delivers buffers drains within a few of them after a
// stop; one whose device went away never does.
constexpr auto kStopBoundBase = std::chrono::milliseconds(1000);
constexpr int kStopBoundBuffers = 8;
// The library's abort writes no more buffers: its stream thread leaves its
// wait for the device within one buffer.
constexpr auto kAbortBoundBase = std::chrono::milliseconds(200);

std::chrono::milliseconds BuffersLong(int buffers, unsigned int bufferFrames,
                                      unsigned int sampleRate) {
  return std::chrono::milliseconds(buffers * 1000LL * bufferFrames / std::max(sampleRate, 1u));
}

class RtAudioBackend : public AudioBackend {
public:
  RtAudioBackend() : audio_(MakeLibrary()) {}
  // The library's own destructor would close an open stream without bound.
  ~RtAudioBackend() override { CloseStream(); }
  RtAudioBackend(const RtAudioBackend&) = delete;
  RtAudioBackend& operator=(const RtAudioBackend&) = delete;

  std::vector<unsigned int> DeviceIds() override {
    std::vector<unsigned int> ids;
    if (audio_)
      Guarded([&] {
        ids = audio_->getDeviceIds();
        return true;
      });
    return ids;
  }

  AudioDeviceInfo DeviceInfo(unsigned int id) override {
    AudioDeviceInfo info;
    if (audio_)
      Guarded([&] {
        const RtAudio::DeviceInfo device = audio_->getDeviceInfo(id);
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
    errorText_.clear();
    if (!audio_) return false;
    const bool opened = Guarded(
        [&] {
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
          return audio_->openStream(&output, setup.inputChannels > 0 ? &input : nullptr,
                                    RTAUDIO_FLOAT64, setup.sampleRate, &bufferFrames,
                                    HostAudioCallback, host, &options) == RTAUDIO_NO_ERROR;
        },
        &errorText_);
    if (!opened) return Failed();
    stopBound_ = kStopBoundBase + BuffersLong(kStopBoundBuffers, bufferFrames, setup.sampleRate);
    abortBound_ = kAbortBoundBase + BuffersLong(1, bufferFrames, setup.sampleRate);
    return true;
  }

  // The library reports a device that would not start only through its
  // error callback; the stream then is not running.
  bool StartStream() override {
    errorText_.clear();
    if (!audio_) return false;
    const bool started = Guarded(
        [&] { return audio_->startStream() == RTAUDIO_NO_ERROR && audio_->isStreamRunning(); },
        &errorText_);
    return started || Failed();
  }

  void StopStream() override {
    if (!audio_ || !audio_->isStreamRunning()) return;
    if (!RunBounded(stopBound_,
                    [](RtAudio& audio) { return audio.stopStream() == RTAUDIO_NO_ERROR; }))
      LetGoOfStream();
  }

  // The library's abort skips the drain, and its stream thread leaves any wait
  // for a device that does not move its buffers once the stream is stopped.
  void AbortStream() override {
    if (!audio_ || !audio_->isStreamOpen()) return;
    const bool stopped = !audio_->isStreamRunning() || RunBounded(abortBound_, [](RtAudio& audio) {
      return audio.abortStream() == RTAUDIO_NO_ERROR;
    });
    if (stopped)
      CloseStream();
    else
      LetGoOfStream();
  }

  void CloseStream() override {
    if (!audio_ || !audio_->isStreamOpen()) return;
    if (!RunBounded(stopBound_, [](RtAudio& audio) {
          audio.closeStream();
          return true;
        }))
      LetGoOfStream();
  }

  bool IsStreamOpen() const override { return audio_ && audio_->isStreamOpen(); }
  bool IsStreamRunning() const override { return audio_ && audio_->isStreamRunning(); }
  std::string ErrorText() const override { return errorText_; }

private:
  // Keeps the library's text of the call that just failed, unless an
  // exception gave one already.
  bool Failed() {
    if (errorText_.empty()) errorText_ = audio_->getErrorText();
    return false;
  }

  // Stopping and closing wait for the library's stream thread, and a call
  // into a driver that hangs would wait for good. The call runs on a thread
  // of its own; one that has not returned in time is left to that thread,
  // which keeps the library object alive for as long as it waits. False then.
  template <typename Call>
  bool RunBounded(std::chrono::milliseconds bound, Call call) {
    std::packaged_task<bool()> task(
        [audio = audio_, call] { return Guarded([&] { return call(*audio); }); });
    std::future<bool> done = task.get_future();
    std::thread worker;
    try {
      worker = std::thread(std::move(task));
    } catch (const std::system_error&) {
      Guarded([&] { return call(*audio_); });
      return true;
    }
    // Joined, the worker has let go of the library object before this returns.
    if (done.wait_for(bound) == std::future_status::ready) {
      worker.join();
      return true;
    }
    worker.detach();
    return false;
  }

  // The stream that did not stop or close in time stays with the call left
  // waiting in it, and a new library object takes this one's place.
  void LetGoOfStream() {
    errorCallback(RTAUDIO_SYSTEM_ERROR, "the audio device takes no buffers; its stream is let go");
    audio_.reset();
    Guarded([&] {
      audio_ = MakeLibrary();
      return true;
    });
  }

  std::shared_ptr<RtAudio> audio_;
  std::chrono::milliseconds stopBound_ = kStopBoundBase;
  std::chrono::milliseconds abortBound_ = kAbortBoundBase;
  std::string errorText_;
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
