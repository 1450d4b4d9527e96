#include "framework/app/app_host.h"

namespace plugkit {

bool AppHost::LoadSettings(std::unique_ptr<SettingsStore> store) {
  settingsFile_ = std::move(store);
  if (settingsFile_ && settingsFile_->HasSettings()) ReadAppSettings(*settingsFile_, current_);
  SaveSettings();
  return true;
}

void AppHost::SaveSettings() {
  if (settingsFile_) WriteAppSettings(*settingsFile_, current_);
}

} // namespace plugkit
