#pragma once

#include "framework/app/audio_callback.h"
#include "framework/app/instance_info.h"
#include "framework/app/plugin_app.h"
#include "framework/core/pointer_list.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace plugkit {

// The standalone program's host: one per process. It owns the plug-in
// instance and the state the audio callback carries from one device buffer
// to the next.
class AppHost {
public:
  // Makes the plug-in instance; the host keeps the instance record's
  // pointer back to itself valid for the instance's whole life.
  using PluginFactory = std::unique_ptr<IPluginApp> (*)(const InstanceInfo& info);

  // Device buffers are cut into sub-blocks of at most this many frames,
  // placed on a grid of this size that runs on from buffer to buffer.
  static constexpr int SubBlockFrames = IPluginApp::BlockSize;

  // The new host becomes the process's host and a previous one is deleted.
  // Null, with any previous host kept, when the factory makes no instance.
  static AppHost* Create(PluginFactory factory);
  // The process's host, or null.
  static AppHost* Get();
  // Deletes the process's host.
  static void Destroy();

  AppHost(const AppHost&) = delete;
  AppHost& operator=(const AppHost&) = delete;
  ~AppHost();

  IPluginApp* GetPlug() const { return plug_.get(); }

  // Before a stream starts: resets what the audio callback carries between
  // buffers, prepares the plug-in for the rate and sizes the channel pointer
  // lists. False when the plug-in or the lists could not be sized; the
  // stream must not start then.
  bool PrepareAudioStream(double sampleRate, int bufferFrames);

  // Sends one message through the MIDI output object; false when the host
  // has none.
  bool SendMidiBytes(const uint8_t* bytes, int size);

  // The stop handshake: the user-interface thread sets audioExiting; the
  // audio callback fades its next buffer out, then sets audioDone and stays
  // silent.
  void SetAudioExiting(bool exiting) { audioExiting_.store(exiting); }
  bool IsAudioExiting() const { return audioExiting_.load(); }
  bool IsAudioDone() const { return audioDone_.load(); }

  double GetSampleRate() const { return sampleRate_; }
  int GetBufferFrames() const { return bufferFrames_; }
  // Audio-side counters: read them only while no callback runs.
  int64_t GetSamplesElapsed() const { return samplesElapsed_; }
  int GetFrameCounter() const { return frameCounter_; }
  int GetCallbackCount() const { return callbackCount_; }

private:
  friend int HostAudioCallback(void* outputBuffer, void* inputBuffer, unsigned int nFrames,
                               double streamTime, AudioStreamStatus status, void* userData);

  AppHost() = default;

  // Declared first so that it is deleted last.
  std::unique_ptr<IPluginApp> plug_;
  double sampleRate_ = 44100.0;
  int64_t samplesElapsed_ = 0;
  int32_t bufferFrames_ = SubBlockFrames;
  // Position within the current sub-block, carried from one device buffer to
  // the next.
  int32_t frameCounter_ = 0;
  int32_t callbackCount_ = 0;
  // Written and read by different threads.
  std::atomic<bool> audioExiting_{false};
  std::atomic<bool> audioDone_{false};
  PointerList<double> inputPointers_{4096};
  PointerList<double> outputPointers_{4096};
};

} // namespace plugkit
