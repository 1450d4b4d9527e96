#include "framework/app/settings_file_win.h"

#include "framework/app/app_host.h"
#include "framework/app/profile_encoding_win.h"
#include "framework/core/win_files.h"
#include "framework/core/win_profile.h"
#include "framework/core/win_shell.h"
#include "framework/core/win_text.h"

#include <shlobj.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace plugkit {

namespace {

// The folder path is built into this many bytes before the file name is
// appended.
constexpr int kFolderPathBytes = 2048;

// Reading a value, the profile calls drop the blanks around it and then one
// pair of quotes around it; a value they would change is stored inside
// quotes of its own, which they take off again.
bool IsDroppedBlank(wchar_t c) {
  constexpr wchar_t kEndOfFile = 0x1A;
  WORD type = 0;
  return c == kEndOfFile || (GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_SPACE));
}

bool NeedsQuotes(const char* value) {
  std::wstring wide;
  if (!Utf8ToWide(wide, value) || wide.empty()) return false;
  return wide.front() == L'"' || wide.front() == L'\'' || IsDroppedBlank(wide.front()) ||
         IsDroppedBlank(wide.back());
}

class ProfileSettingsFile : public SettingsStore {
public:
  ProfileSettingsFile(const char* path, bool hasSettings) : hasSettings_(hasSettings) {
    path_.Set(path);
  }

  bool HasSettings() const override { return hasSettings_; }

  void Read(const char* section, const char* key, const char* defaultValue, StringBuffer& out,
            int maxBytes) const override {
    if (maxBytes < 1) return;
    std::vector<char> value(static_cast<size_t>(maxBytes), 0);
    Utf8GetPrivateProfileString(section, key, defaultValue, value.data(),
                                static_cast<DWORD>(maxBytes), path_.Get());
    out.Set(value.data(), maxBytes - 1);
  }

  void Write(const char* section, const char* key, const char* value) override {
    const std::string stored = NeedsQuotes(value) ? "\"" + std::string(value) + "\"" : value;
    Utf8WritePrivateProfileString(section, key, stored.c_str(), path_.Get());
  }

private:
  StringBuffer path_;
  const bool hasSettings_;
};

} // namespace

std::unique_ptr<SettingsStore> OpenSettingsFile(const char* parentFolder, const char* productName) {
  StringBuffer path;
  path.SetFormatted(kFolderPathBytes, "%s\\%s", parentFolder, productName);
  if (path.Length() >= kFolderPathBytes - 1) return nullptr;
  // The folder is looked up without a trailing separator: the system's stat
  // finds no folder through a path that ends in one.
  struct _stat64 info;
  const bool folderExists = Utf8Stat(path.Get(), &info) == 0;
  if (!folderExists) Utf8CreateDirectory(path.Get(), nullptr);
  path.AppendFormatted(32, "\\%s", "settings.ini");
  const bool fileExists = Utf8Stat(path.Get(), &info) == 0;
  ConvertProfileToUtf16(path.Get());
  return std::make_unique<ProfileSettingsFile>(path.Get(), folderExists && fileExists);
}

bool AppHost::LoadSettings() {
  char folder[MAX_PATH * 4] = {};
  if (!Utf8GetSpecialFolderPath(nullptr, folder, sizeof folder, CSIDL_LOCAL_APPDATA, false))
    return LoadSettings(nullptr);
  return LoadSettings(OpenSettingsFile(folder, plug_->GetProductName()));
}

} // namespace plugkit
