#include "framework/app/device_backends.h"
#include "framework/app/rtaudio_backend_win.h"
#include "framework/app/rtmidi_backend_win.h"
#include "framework/app/system_device_names_win.h"
#include "framework/core/win_shell.h"

#include <windows.h>

namespace plugkit {

namespace {

// Owned by the window the user is working in: the main window, or the
// preferences dialog while that is open.
void ShowMessageBox(const char* text, const char* caption) {
  Utf8MessageBox(GetActiveWindow(), text, caption, MB_OK);
}

} // namespace

DeviceBackends SystemDeviceBackends() {
  DeviceBackends backends;
  // RtAudio is built without UNICODE, so it names devices in the code page.
  backends.makeAudio = [] {
    return WithSystemDeviceNames(MakeRtAudioBackend(), EnumerateDirectSoundNames);
  };
  backends.makeMidiIn = MakeRtMidiInBackend;
  backends.makeMidiOut = MakeRtMidiOutBackend;
  backends.showError = ShowMessageBox;
  return backends;
}

} // namespace plugkit
