#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace plugkit {

class AppHost;

// One audio device as the audio library describes it.
struct AudioDeviceInfo {
  std::string name;
  unsigned int inputChannels = 0;
  unsigned int outputChannels = 0;
  bool isDefaultInput = false;
  bool isDefaultOutput = false;
  std::vector<unsigned int> sampleRates;
};

// What the stream is opened with: channels start at each device's first.
// An input channel count of 0 opens an output-only stream.
struct AudioStreamSetup {
  unsigned int inputId = 0;
  unsigned int inputChannels = 0;
  unsigned int outputId = 0;
  unsigned int outputChannels = 0;
  unsigned int sampleRate = 0;
};

// The audio library behind the host: its devices and the one stream it runs.
// The stream hands non-interleaved 64-bit buffers to HostAudioCallback with
// the host as user data. Errors never leave as exceptions: they are written
// to the standard error stream and the call returns false. Device names are
// UTF-8.
class AudioBackend {
public:
  virtual ~AudioBackend() = default;

  virtual std::vector<unsigned int> DeviceIds() = 0;
  virtual AudioDeviceInfo DeviceInfo(unsigned int id) = 0;
  // bufferFrames asks for a buffer size and returns the one granted.
  virtual bool OpenStream(const AudioStreamSetup& setup, unsigned int& bufferFrames,
                          AppHost* host) = 0;
  virtual bool StartStream() = 0;
  // Stops a stream that still moves once its last buffers have played. Both
  // this and CloseStream return within a bound whatever the device does; a
  // stream that does not stop in time is let go as AbortStream does.
  virtual void StopStream() = 0;
  // Stops a stream whose device no longer asks for buffers without waiting
  // for them, and lets go of the device, so that it can be opened again once
  // it is back. The backend has no stream open afterwards, and the ids of
  // its devices may have changed.
  virtual void AbortStream() = 0;
  virtual void CloseStream() = 0;
  virtual bool IsStreamOpen() const = 0;
  virtual bool IsStreamRunning() const = 0;
  // Why the last OpenStream or StartStream failed, as the library said it.
  virtual std::string ErrorText() const = 0;
};

// One direction of the MIDI library: its ports and the one it has open.
class MidiPortBackend {
public:
  virtual ~MidiPortBackend() = default;

  virtual std::vector<std::string> PortNames() = 0;
  // False when the port could not be opened (the error is written out).
  virtual bool OpenPort(unsigned int index, const char* name) = 0;
  virtual void ClosePort() = 0;
};

// Receives one message on the MIDI library's input thread.
using MidiInputCallback = void (*)(double timeStamp, std::vector<unsigned char>* message,
                                   void* userData);

class MidiInBackend : public MidiPortBackend {
public:
  // Timing messages are ignored; system-exclusive and active sensing pass.
  virtual void SetCallback(MidiInputCallback callback, void* userData) = 0;
  virtual void CancelCallback() = 0;
};

class MidiOutBackend : public MidiPortBackend {
public:
  // False when nothing was sent.
  virtual bool Send(const unsigned char* bytes, size_t size) = 0;
};

// How the host makes its device objects and tells the user of device
// failures. A maker that fails writes its error and returns null; a null
// maker makes nothing.
struct DeviceBackends {
  std::unique_ptr<AudioBackend> (*makeAudio)() = nullptr;
  std::unique_ptr<MidiInBackend> (*makeMidiIn)() = nullptr;
  std::unique_ptr<MidiOutBackend> (*makeMidiOut)() = nullptr;
  void (*showError)(const char* text, const char* caption) = nullptr;
};

// The system's devices: DirectSound audio, Windows multimedia MIDI and
// message boxes in the Windows build; no devices elsewhere, where errors go
// to the standard error stream.
DeviceBackends SystemDeviceBackends();

} // namespace plugkit
