#include "framework/app/audio_device_names.h"

namespace plugkit {

std::string AudioDeviceName(const std::string& libraryName) {
  const size_t colon = libraryName.find(':');
  return colon == std::string::npos ? libraryName : libraryName.substr(colon + 1);
}

} // namespace plugkit
