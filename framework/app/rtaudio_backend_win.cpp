#include "framework/app/rtaudio_backend_win.h"

#include "RtAudio.h"
#include "framework/app/audio_callback.h"
#include "framework/app/rtaudio_stream_thread_win.h"

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
// The library's abort writes no more buffers: it returns at once or not at
// all.
constexpr auto kAbortBound = std::chrono::milliseconds(200);
constexpr DWORD kThreadEndWaitMs = 1000;

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
    stopBound_ =
        kStopBoundBase + std::chrono::milliseconds(kStopBoundBuffers * 1000LL * bufferFrames /
                                                   std::max(setup.sampleRate, 1u));
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

  // The library's abort skips the drain but takes the stream's lock, which
  // the stream thread holds while it waits for the device to move its
  // buffer: for good once the device went away.
  void AbortStream() override {
    if (!audio_ || !audio_->isStreamOpen()) return;
    const bool stopped = !audio_->isStreamRunning() ||
                         (!StreamLockTaken(*audio_) && RunBounded(kAbortBound, [](RtAudio& audio) {
                           return audio.abortStream() == RTAUDIO_NO_ERROR;
                         }));
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
      LetGoOfStream(ClosePending::kYes);
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

  // Stopping and closing wait for the library's stream thread, and over
  // DirectSound that thread waits without limit for a device that stopped
  // moving its buffer. The call runs on a thread of its own; one that has
  // not returned in time is left to that thread, which keeps the library
  // object alive for as long as it waits. False then.
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

  // A stream thread that waits for a device that went away only asks it for
  // its buffer's position and sleeps, for good: it is ended there, and the
  // stream is closed, which releases its buffers and device objects without
  // waiting, so that the device plays again once it is back. The stream's
  // lock may have ended with the thread, so a new library object takes this
  // one's place; the old one goes once no call is left waiting in it. A close
  // that was left waiting for the thread goes on by itself once the thread
  // has ended: a second one would release the same buffers again.
  enum class ClosePending { kNo, kYes };
  void LetGoOfStream(ClosePending closing = ClosePending::kNo) {
    errorCallback(RTAUDIO_SYSTEM_ERROR, "the audio device takes no buffers; its stream is let go");
    if (const HANDLE thread = StreamCallbackThread(*audio_)) {
      if (TerminateThread(thread, 0)) WaitForSingleObject(thread, kThreadEndWaitMs);
    }
    if (closing == ClosePending::kNo && audio_->isStreamOpen())
      RunBounded(stopBound_, [](RtAudio& audio) {
        audio.closeStream();
        return true;
      });
    audio_.reset();
    Guarded([&] {
      audio_ = MakeLibrary();
      return true;
    });
  }

  std::shared_ptr<RtAudio> audio_;
  std::chrono::milliseconds stopBound_ = kStopBoundBase;
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
