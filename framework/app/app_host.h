#pragma once

#include "framework/app/app_settings.h"
#include "framework/app/audio_callback.h"
#include "framework/app/device_backends.h"
#include "framework/app/instance_info.h"
#include "framework/app/plugin_app.h"
#include "framework/app/settings_store.h"
#include "framework/core/pointer_list.h"
#include "framework/core/string_buffer.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
  // Names the host to the plug-in, loads and rewrites the settings file,
  // makes the audio and MIDI objects (none in no-I/O or screenshot mode),
  // lists the devices, opens the stored MIDI ports and activates the
  // plug-in. Always true.
  bool Init();
#endif
  // The plug-in's editor inside `parent`; true when it gave a window.
  bool OpenEditorWindow(void* parent);
  void CloseEditorWindow();

  // The system's devices unless replaced before the devices are made.
  void SetDeviceBackends(const DeviceBackends& backends) { backends_ = backends; }
  // No-I/O and screenshot mode open no audio or MIDI device.
  void SetNoIO(bool noIO) { noIO_ = noIO; }
  bool IsNoIO() const { return noIO_; }
  void SetScreenshotPath(const char* path) { screenshotPath_.Set(path); }
  const char* GetScreenshotPath() const { return screenshotPath_.Get(); }

  // Settings: current is edited and used, backup is what the preferences
  // dialog restores on Cancel, active is what the running stream was opened
  // with.
  AppSettings& GetCurrentSettings() { return current_; }
  AppSettings& GetBackupSettings() { return backup_; }
  const AppSettings& GetActiveSettings() const { return active_; }
#ifdef _WIN32
  // The settings file in the user's local application-data folder.
  bool LoadSettings();
#endif
  // Reads the store into current when it holds settings, keeps the store and
  // writes current back, so every key is stored after start-up. Always true.
  bool LoadSettings(std::unique_ptr<SettingsStore> store);
  // Writes current to the store the settings were loaded from, if any.
  void SaveSettings();

  // Audio devices and stream; user-interface thread only.
  void ResetAudioDriver();
  void ProbeAudioDevices();
  // The device's name without everything up to and including its first
  // colon; empty for an id that was not probed.
  std::string GetAudioDeviceName(unsigned int id) const;
  // The first probed device of the direction (kDirectionInput or
  // kDirectionOutput), in the library's order, whose name is exactly name.
  // The library lists a device's input and output apart, often under one
  // name, so the other direction's namesake must not be taken.
  std::optional<unsigned int> FindAudioDeviceId(int direction, const char* name) const;
  // Opens and starts the stream on the devices that current names, looking
  // for a device missing from the last listing once more and then falling
  // back to the system's default devices (and storing their names). False,
  // after telling the user, when a direction has no device (a running stream
  // then goes on) or when the stream would not open or start, or its device
  // asks for no buffer soon after starting (the user is told the devices and
  // why).
  bool StartAudio();
  bool OpenAudioStream(unsigned int inputId, unsigned int outputId, int sampleRate,
                       int bufferFrames);
  // Fades a running stream out, stops and closes it. A stream whose device
  // no longer asks for buffers is let go without its fade, and the devices
  // are probed again, since letting go may renew their ids.
  void CloseAudioStream();
  // A stream runs on the audio settings that current holds.
  bool IsAudioRunningOnCurrent() const;
  AudioBackend* GetAudio() const { return audio_.get(); }
  const std::vector<unsigned int>& GetInputDeviceIds() const { return inputDeviceIds_; }
  const std::vector<unsigned int>& GetOutputDeviceIds() const { return outputDeviceIds_; }
  std::optional<unsigned int> GetDefaultInput() const { return defaultInput_; }
  std::optional<unsigned int> GetDefaultOutput() const { return defaultOutput_; }

  // MIDI ports; user-interface thread only. Port numbers are 1-based: 0 is
  // "off", -1 not found.
  static constexpr const char* kMidiOff = "off";
  bool CreateMidiPorts();
  void ProbeMidiPorts();
  // The port of exactly that name, else the first whose name is the same
  // without the port index the library appends, so a device is found again
  // after another one came or went.
  int FindMidiPort(int direction, const char* name) const;
  // Opens the named port of the direction (kDirectionInput or
  // kDirectionOutput) in place of the open one. A port that is gone leaves
  // none open and the setting as it is. False without a MIDI object for the
  // direction, or when the port is gone or could not be opened.
  bool SelectMidiPort(int direction, const char* name);
  // "off" first, then the ports' names in the library's order.
  const std::vector<std::string>& GetMidiPortNames(int direction) const;

#ifdef _WIN32
  // The preferences dialog's lists, filled from the probed devices and ports
  // and selecting what current holds.
  void PopulateAudioControls(HWND dialog);
  void PopulateAudioDeviceCombos(HWND dialog);
  void PopulateInputChannelCombos(HWND dialog, unsigned int channels);
  void PopulateOutputChannelCombos(HWND dialog, unsigned int channels);
  void PopulateSampleRates(HWND dialog, const AudioDeviceInfo& input,
                           const AudioDeviceInfo& output);
  void PopulateMidiControls(HWND dialog);
#endif

  // Before a stream starts: resets what the audio callback carries between
  // buffers, prepares the plug-in for the rate and sizes the channel pointer
  // lists. False when the plug-in or the lists could not be sized; the
  // stream must not start then.
  bool PrepareAudioStream(double sampleRate, int bufferFrames);

  // Sends one message through the MIDI output object; false when the host
  // has none or nothing was sent.
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

  // The longest the user-interface thread waits for the audio callback to
  // acknowledge a stop; a device whose callbacks stopped is stopped anyway.
  static constexpr int kStopWaitMs = 1000;
  static constexpr int kStopWaitStepMs = 10;
  // A device counts as stopped once it has asked for no buffer for this long
  // plus two buffers' time.
  static constexpr int kStallMs = 200;
  // A started stream counts as failed when the device has not asked for a
  // buffer within this long plus one buffer's time: a device that went away
  // may still open and start a stream.
  static constexpr int kStartWaitMs = 500;

private:
  friend int HostAudioCallback(void* outputBuffer, void* inputBuffer, unsigned int nFrames,
                               double streamTime, AudioStreamStatus status, void* userData);
  friend void HostMidiCallback(double timeStamp, std::vector<unsigned char>* message,
                               void* userData);

  struct ProbedDevice {
    unsigned int id;
    std::string name;
  };

  AppHost();

  bool InScreenshotOrNoIOMode() const { return noIO_ || screenshotPath_.Length() > 0; }
  // The time of n device buffers at the stream's rate, rounded up.
  int BuffersMs(int n) const;
  // Waits until the device has asked for a buffer; false when it has not in
  // time.
  bool AwaitStreamMoving() const;
  // Asks the callback to fade out and waits until it has; false when the
  // device stopped asking for buffers first.
  bool AwaitFadeOut();
  // Resolves one direction of StartAudio; false when it has no device.
  bool ResolveAudioDevice(const char* name, bool isInput, unsigned int& id, bool& changed);
  void ShowError(const char* text, const char* caption) const;

  // Declared first so that it is deleted last, after every device object.
  std::unique_ptr<IPluginApp> plug_;
  std::unique_ptr<AudioBackend> audio_;
  std::unique_ptr<MidiInBackend> midiIn_;
  std::unique_ptr<MidiOutBackend> midiOut_;
  DeviceBackends backends_;
  AppSettings current_;
  AppSettings backup_;
  AppSettings active_;
  std::unique_ptr<SettingsStore> settingsFile_;
  // Why the last OpenAudioStream failed.
  std::string audioError_;
  bool noIO_ = false;
  StringBuffer screenshotPath_;
  std::vector<ProbedDevice> devices_;
  std::vector<unsigned int> inputDeviceIds_;
  std::vector<unsigned int> outputDeviceIds_;
  std::optional<unsigned int> defaultInput_;
  std::optional<unsigned int> defaultOutput_;
  std::vector<std::string> midiInPortNames_;
  std::vector<std::string> midiOutPortNames_;
  // Set while the host is destroyed: the MIDI callback then queues nothing.
  std::atomic<bool> closing_{false};
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
  // Buffers the device asked for since the stream was prepared, so the
  // user-interface thread can tell a stream that moves from one that stalled.
  std::atomic<uint32_t> buffersAsked_{0};
  PointerList<double> inputPointers_{4096};
  PointerList<double> outputPointers_{4096};
};

} // namespace plugkit
