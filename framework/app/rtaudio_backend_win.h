#pragma once

#include "framework/app/device_backends.h"

#include <memory>
#include <string>

namespace plugkit {

// RtAudio's DirectSound interface; its errors go to errorCallback.
std::unique_ptr<AudioBackend> MakeRtAudioBackend();

// Writes the audio library's error text to the standard error stream.
void errorCallback(int type, const std::string& message);

} // namespace plugkit
