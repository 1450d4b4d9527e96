#include "framework/app/app_settings.h"

#include <cstring>

namespace plugkit {

namespace {

bool SameText(const StringBuffer& a, const StringBuffer& b) {
  const int length = a.Length();
  return length == b.Length() && std::memcmp(a.Get(), b.Get(), static_cast<size_t>(length)) == 0;
}

} // namespace

AppSettings::AppSettings() {
  audioInDevice.Set("Default Device");
  audioOutDevice.Set("Default Device");
  midiInDevice.Set("off");
  midiOutDevice.Set("off");
}

void AppSettings::CopyFrom(const AppSettings& other) {
  if (&other == this) return;
  audioInDevice.Set(other.audioInDevice.Get());
  audioOutDevice.Set(other.audioOutDevice.Get());
  midiInDevice.Set(other.midiInDevice.Get());
  midiOutDevice.Set(other.midiOutDevice.Get());
  driverType = other.driverType;
  sampleRate = other.sampleRate;
  bufferSize = other.bufferSize;
  midiInChannel = other.midiInChannel;
  midiOutChannel = other.midiOutChannel;
  audioIn1 = other.audioIn1;
  audioIn2 = other.audioIn2;
  audioOut1 = other.audioOut1;
  audioOut2 = other.audioOut2;
}

bool AppSettings::Equals(const AppSettings& other) const {
  return AudioSettingsEqual(*this, other) && MidiSettingsEqual(*this, other);
}

bool AudioSettingsEqual(const AppSettings& a, const AppSettings& b) {
  return a.driverType == b.driverType && SameText(a.audioInDevice, b.audioInDevice) &&
         SameText(a.audioOutDevice, b.audioOutDevice) && a.sampleRate == b.sampleRate &&
         a.bufferSize == b.bufferSize && a.audioIn1 == b.audioIn1 && a.audioIn2 == b.audioIn2 &&
         a.audioOut1 == b.audioOut1 && a.audioOut2 == b.audioOut2;
}

bool MidiSettingsEqual(const AppSettings& a, const AppSettings& b) {
  return SameText(a.midiInDevice, b.midiInDevice) && SameText(a.midiOutDevice, b.midiOutDevice) &&
         a.midiInChannel == b.midiInChannel && a.midiOutChannel == b.midiOutChannel;
}

} // namespace plugkit
