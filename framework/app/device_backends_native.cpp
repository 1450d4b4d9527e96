#include "framework/app/device_backends.h"

#include <cstdio>

namespace plugkit {

namespace {

void WriteError(const char* text, const char* caption) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

} // namespace

DeviceBackends SystemDeviceBackends() {
  DeviceBackends backends;
  backends.showError = WriteError;
  return backends;
}

} // namespace plugkit
