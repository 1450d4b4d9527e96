#pragma once

#include <string>

namespace plugkit {

// The name a device is listed, stored and looked up by: the audio library's
// name without everything up to and including its first colon.
std::string AudioDeviceName(const std::string& libraryName);

} // namespace plugkit
