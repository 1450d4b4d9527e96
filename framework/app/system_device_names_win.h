#pragma once

#include "framework/app/device_backends.h"

#include <memory>
#include <string>
#include <vector>

namespace plugkit {

// What Windows calls its audio devices, each direction in the system's order.
struct SystemDeviceNames {
  std::vector<std::wstring> outputs;
  std::vector<std::wstring> inputs;
};

// The DirectSound devices' names, from the wide calls.
SystemDeviceNames EnumerateDirectSoundNames();

// The devices of `library`, which names them as the narrow DirectSound calls
// do (in the system code page, which cannot hold every script), under the
// UTF-8 of what Windows calls them. Each device takes the first name of its
// direction, among those `enumerate` lists and no earlier device took, whose
// code-page form is its name, else whose code-page form begins with it (the
// narrow calls may cut a long name). A device without one keeps its name,
// read in the code page. Null for a null library.
std::unique_ptr<AudioBackend> WithSystemDeviceNames(std::unique_ptr<AudioBackend> library,
                                                    SystemDeviceNames (*enumerate)());

} // namespace plugkit
