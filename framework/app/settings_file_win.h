#pragma once

#include "framework/app/settings_store.h"

#include <memory>

namespace plugkit {

// The settings file "settings.ini" in the folder named productName inside
// parentFolder. The folder is made when it is missing, and a file in a folder
// that was just made is not read. Null when the path does not fit.
std::unique_ptr<SettingsStore> OpenSettingsFile(const char* parentFolder, const char* productName);

} // namespace plugkit
