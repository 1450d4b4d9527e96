#pragma once

#include "framework/core/string_buffer.h"

#include <cstdint>

namespace plugkit {

// The standalone program's audio and MIDI choices. The host keeps one for
// what is being edited and used, one the preferences dialog restores on
// Cancel and one for the stream that was last started.
struct AppSettings {
  // The sample rates the program runs its plug-in at; the plug-in refuses
  // any other.
  static constexpr int32_t kMinSampleRate = 22050;
  static constexpr int32_t kMaxSampleRate = 192000;

  AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  void CopyFrom(const AppSettings& other);
  bool Equals(const AppSettings& other) const;

  // Names as the audio and MIDI layers report them; "off" names no MIDI port.
  StringBuffer audioInDevice{128};
  StringBuffer audioOutDevice{128};
  StringBuffer midiInDevice{128};
  StringBuffer midiOutDevice{128};
  int32_t driverType = 0;
  int32_t sampleRate = 44100;
  int32_t bufferSize = 512;
  // 0 for every channel, else 1 to 16.
  int32_t midiInChannel = 0;
  int32_t midiOutChannel = 0;
  // 1-based device channels.
  int32_t audioIn1 = 1;
  int32_t audioIn2 = 2;
  int32_t audioOut1 = 1;
  int32_t audioOut2 = 2;
};

// Equal in everything that decides how the audio stream is opened.
bool AudioSettingsEqual(const AppSettings& a, const AppSettings& b);
// Equal in the MIDI ports and channels.
bool MidiSettingsEqual(const AppSettings& a, const AppSettings& b);

} // namespace plugkit
